# The build tree stages the Maya module layout, so tests and tools load the plug-in and the
# decoding library from exactly where Maya would find them:
#   Tulvex/plug-ins/<platform>/          the plug-in
#   Tulvex/scripts/                      the MEL scripts
#   Tulvex/ZarnMotionFormat/<platform>/  the decoding library, two folders above the plug-in
if(APPLE)
    set(TULVEX_PLATFORM_DIR "mac")
else()
    set(TULVEX_PLATFORM_DIR "linux")
endif()
set(TULVEX_STAGE_DIR "${CMAKE_BINARY_DIR}/Tulvex")
set(TULVEX_STAGE_PLUGIN_DIR "${TULVEX_STAGE_DIR}/plug-ins/${TULVEX_PLATFORM_DIR}")
set(TULVEX_STAGE_ZMF_DIR "${TULVEX_STAGE_DIR}/ZarnMotionFormat/${TULVEX_PLATFORM_DIR}")
file(MAKE_DIRECTORY "${TULVEX_STAGE_PLUGIN_DIR}" "${TULVEX_STAGE_ZMF_DIR}")

# Places a decoding-library module at the path the binder computes for a plug-in folder
# <root>/plug-ins/<platform>: on macOS inside a bundle, elsewhere as a plain module file.
function(tulvex_stage_zmf_module target root)
    set(dir "${root}/ZarnMotionFormat/${TULVEX_PLATFORM_DIR}")
    file(MAKE_DIRECTORY "${dir}" "${root}/plug-ins/${TULVEX_PLATFORM_DIR}")
    set_target_properties(${target} PROPERTIES
        OUTPUT_NAME zarn_motion_format
        PREFIX ""
        LIBRARY_OUTPUT_DIRECTORY "${dir}")
    if(APPLE)
        set_target_properties(${target} PROPERTIES BUNDLE TRUE BUNDLE_EXTENSION bundle)
    else()
        set_target_properties(${target} PROPERTIES SUFFIX ".so")
    endif()
endfunction()
