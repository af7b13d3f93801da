# Cross-build of the same program as a 64-bit Windows program with Debian's mingw-w64.
#   cmake --preset windows64
# Not what we ship (that is the 32-bit one, toolchain-mingw32.cmake): it is what the tests run
# on where the build machine cannot run 32-bit programs, and so neither 32-bit Wine. Same
# compiler variant, runtime and flags as the 32-bit build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(TRELLAN_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TRELLAN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TRELLAN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TRELLAN_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TRELLAN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# SSE2 doubles, as in the 32-bit build (on x86-64 they are the default already), so that every
# operation is rounded to double exactly as on Linux.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -ffp-contract=off")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -ffp-contract=off")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests and other built programs run under 64-bit Wine, whose loader Debian keeps out of PATH;
# /usr/bin/wine would pick the 32-bit loader whenever it is installed.
find_program(TRELLAN_WINE wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(TRELLAN_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TRELLAN_WINE})
endif()
