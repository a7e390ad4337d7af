# Finds the Maya 2022 devkit at MAYA_LOCATION (a CMake variable or the environment) and makes
# the imported target Maya::Maya: headers, the OpenMaya, OpenMayaAnim, OpenMayaUI and
# Foundation libraries, and the defines a plug-in is compiled with.
#   MAYA_LOCATION  Linux: /usr/autodesk/maya2022    macOS: /Applications/Autodesk/maya2022
if(NOT MAYA_LOCATION AND DEFINED ENV{MAYA_LOCATION})
    set(MAYA_LOCATION "$ENV{MAYA_LOCATION}")
endif()
set(MAYA_LOCATION "${MAYA_LOCATION}" CACHE PATH "Root of the Maya 2022 installation")

if(APPLE)
    set(_maya_library_hints "${MAYA_LOCATION}/Maya.app/Contents/MacOS")
    set(_maya_include_hints "${MAYA_LOCATION}/include" "${MAYA_LOCATION}/devkit/include"
                            "${MAYA_LOCATION}/../../devkit/include")
else()
    set(_maya_library_hints "${MAYA_LOCATION}/lib")
    set(_maya_include_hints "${MAYA_LOCATION}/include" "${MAYA_LOCATION}/devkit/include")
endif()

find_path(MAYA_INCLUDE_DIR maya/MFnPlugin.h HINTS ${_maya_include_hints} NO_DEFAULT_PATH)
set(_maya_library_vars)
foreach(_maya_library OpenMaya OpenMayaAnim OpenMayaUI Foundation)
    find_library(MAYA_${_maya_library}_LIBRARY ${_maya_library}
        HINTS ${_maya_library_hints} NO_DEFAULT_PATH)
    list(APPEND _maya_library_vars MAYA_${_maya_library}_LIBRARY)
endforeach()

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Maya REQUIRED_VARS MAYA_INCLUDE_DIR ${_maya_library_vars})

if(Maya_FOUND AND NOT TARGET Maya::Maya)
    add_library(Maya::Maya INTERFACE IMPORTED)
    target_include_directories(Maya::Maya INTERFACE "${MAYA_INCLUDE_DIR}")
    target_link_libraries(Maya::Maya INTERFACE
        "${MAYA_OpenMaya_LIBRARY}" "${MAYA_OpenMayaAnim_LIBRARY}"
        "${MAYA_OpenMayaUI_LIBRARY}" "${MAYA_Foundation_LIBRARY}")
    target_compile_definitions(Maya::Maya INTERFACE _BOOL REQUIRE_IOSTREAM)
    if(APPLE)
        target_compile_definitions(Maya::Maya INTERFACE OSMac_ MAC_PLUGIN)
    else()
        target_compile_definitions(Maya::Maya INTERFACE LINUX _GNU_SOURCE)
    endif()
endif()
