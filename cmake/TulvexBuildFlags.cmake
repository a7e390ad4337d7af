# Flags every target of the project links against: warnings as errors and the sanitizer
# of the build. Carried by an interface target so that nothing is set directory-wide.
add_library(tulvex_build_flags INTERFACE)

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(tulvex_build_flags INTERFACE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
        -Wcast-align -Wnull-dereference -Werror)
endif()

if(TULVEX_SANITIZE_ADDRESS AND TULVEX_SANITIZE_THREAD)
    message(FATAL_ERROR "AddressSanitizer and ThreadSanitizer cannot be combined")
endif()
if(TULVEX_SANITIZE_ADDRESS)
    target_compile_options(tulvex_build_flags INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(tulvex_build_flags INTERFACE -fsanitize=address,undefined)
endif()
if(TULVEX_SANITIZE_THREAD)
    target_compile_options(tulvex_build_flags INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(tulvex_build_flags INTERFACE -fsanitize=thread)
endif()
