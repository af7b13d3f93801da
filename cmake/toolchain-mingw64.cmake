# Cross-build of the same program as a 64-bit Windows program with Debian's mingw-w64.
#   cmake --preset windows64
# Not what we ship (that is the 32-bit one, toolchain-mingw32.cmake): it is what the tests run
# on where the build machine cannot run 32-bit programs, and so neither 32-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(TRELLAN_MINGW_TRIPLE x86_64-w64-mingw32)
# 64-bit Wine, whose loader Debian keeps out of PATH; /usr/bin/wine would pick the 32-bit
# loader whenever it is installed.
find_program(TRELLAN_WINE wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain-common.cmake)
