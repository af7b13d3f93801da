# What both Windows toolchain files share, once TRELLAN_MINGW_TRIPLE and TRELLAN_WINE are set:
# the posix-thread variant of Debian's mingw-w64 compiler, because GoogleTest and the standard
# library's threads need it, and the runtime linked statically, so that the executable needs no
# DLL beside it but the system's own.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${TRELLAN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TRELLAN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TRELLAN_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TRELLAN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# SSE2 doubles instead of the x87 unit (on x86-64 the default already), so that every
# operation is rounded to double exactly as on Linux and the results agree bit for bit.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -ffp-contract=off")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -ffp-contract=off")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests and other built programs run under Wine on the build machine.
if(TRELLAN_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TRELLAN_WINE})
endif()
