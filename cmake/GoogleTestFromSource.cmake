# GoogleTest built with the cross compiler from Debian's sources (package googletest), since
# the system's prebuilt library is for Linux. Its headers are system headers to our targets, so
# our warning set does not apply to them.
set(TRELLAN_GOOGLETEST_SOURCE /usr/src/googletest/googletest
    CACHE PATH "GoogleTest sources to build with the cross compiler")
if(NOT EXISTS ${TRELLAN_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest sources in ${TRELLAN_GOOGLETEST_SOURCE}: "
                        "run 'bash scripts/install-deps.sh windows'")
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${TRELLAN_GOOGLETEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest
    EXCLUDE_FROM_ALL SYSTEM)
foreach(library gtest gtest_main)
    if(NOT TARGET GTest::${library})
        add_library(GTest::${library} ALIAS ${library})
    endif()
endforeach()
