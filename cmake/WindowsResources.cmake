# The Windows program's resources, generated from the data in res/: tools/rcgen is compiled with
# the build machine's own compiler (it runs here, also when cross-compiling), writes the resource
# script and the icon, and windres compiles them, with the application manifest, into an object
# that every executable with windows links, so that the tests run as the program does. Included
# from res/CMakeLists.txt on Windows only.
find_program(TRELLAN_HOST_CXX NAMES c++ g++ clang++ REQUIRED
    DOC "The build machine's C++ compiler, for tools that run during the build")

set(rcgen_dir ${PROJECT_SOURCE_DIR}/tools/rcgen)
set(rcgen_sources
    ${rcgen_dir}/rcgen.cpp
    ${rcgen_dir}/icon_file.cpp
    ${rcgen_dir}/png_file.cpp
    ${rcgen_dir}/resource_script.cpp
    ${PROJECT_SOURCE_DIR}/res/app_icon.cpp
    ${PROJECT_SOURCE_DIR}/res/app_icon_vector.cpp
    ${PROJECT_SOURCE_DIR}/res/dialog_templates.cpp
    ${PROJECT_SOURCE_DIR}/res/strings.cpp)
file(GLOB rcgen_headers ${rcgen_dir}/*.h ${PROJECT_SOURCE_DIR}/res/*.h)
set(rcgen ${CMAKE_CURRENT_BINARY_DIR}/rcgen)
# A variable, not a generator expression: an empty one must leave no empty argument on the
# compile line, where the compiler would take "" for a source file.
set(rcgen_werror)
if(TRELLAN_WARNINGS_AS_ERRORS)
    set(rcgen_werror -Werror)
endif()
set(resource_script ${CMAKE_CURRENT_BINARY_DIR}/trellan.rc)
set(resource_icon ${CMAKE_CURRENT_BINARY_DIR}/trellan.ico)
set(resource_object ${CMAKE_CURRENT_BINARY_DIR}/trellan_resources.o)
set(resource_manifest ${CMAKE_CURRENT_BINARY_DIR}/trellan.manifest)
# The program's own identity names the architecture it was built for (the shipped program: x86).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(TRELLAN_MANIFEST_ARCHITECTURE amd64)
else()
    set(TRELLAN_MANIFEST_ARCHITECTURE x86)
endif()
configure_file(trellan.manifest.in ${resource_manifest} @ONLY)
set(TRELLAN_EXECUTABLE_NAME Trellan)

add_custom_command(OUTPUT ${rcgen}
    COMMAND ${TRELLAN_HOST_CXX} -std=c++20 -O1 -Wall -Wextra -Wconversion -Wsign-conversion
        ${rcgen_werror} -ffp-contract=off -I${PROJECT_SOURCE_DIR} -I${PROJECT_BINARY_DIR}/generated
        ${rcgen_sources} -lz -o ${rcgen}
    DEPENDS ${rcgen_sources} ${rcgen_headers} ${PROJECT_BINARY_DIR}/generated/res/version.h
    COMMENT "Building the resource generator for the build machine"
    VERBATIM)
add_custom_command(OUTPUT ${resource_script} ${resource_icon}
    COMMAND ${rcgen} ${resource_script} ${resource_icon} ${resource_manifest}
        ${TRELLAN_EXECUTABLE_NAME}.exe
    DEPENDS ${rcgen}
    COMMENT "Generating the resource script from res/"
    VERBATIM)
add_custom_command(OUTPUT ${resource_object}
    COMMAND ${CMAKE_RC_COMPILER} -O coff -i ${resource_script} -o ${resource_object}
    DEPENDS ${resource_script} ${resource_icon} ${resource_manifest}
    COMMENT "Compiling the resource script"
    VERBATIM)
add_custom_target(trellan_resource_object DEPENDS ${resource_object})

# Linked as an object, not from an archive, so the linker cannot leave it out.
add_library(trellan_windows_resources INTERFACE)
add_library(trellan::windows_resources ALIAS trellan_windows_resources)
target_sources(trellan_windows_resources INTERFACE ${resource_object})
add_dependencies(trellan_windows_resources trellan_resource_object)
