# Cross-build of the native 32-bit Windows program with Debian's mingw-w64.
#   cmake --preset windows
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TRELLAN_MINGW_TRIPLE i686-w64-mingw32)
find_program(TRELLAN_WINE wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain-common.cmake)
