# Cross build for 64-bit Windows with mingw-w64 (posix threads): zynka.dll and the
# Windows tools and tests, run under Wine by the tests.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZYNKA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZYNKA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZYNKA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZYNKA_MINGW_TRIPLE}-windres)

# Headers and libraries come from the mingw-w64 tree only; programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${ZYNKA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Baseline x86-64 (SSE2): a host may run on any x86-64 machine. Only the voice loop's
# AVX2 and AVX-512 kernels use more, chosen at run time by what the processor has.
set(CMAKE_C_FLAGS_INIT "-march=x86-64 -mtune=generic")
set(CMAKE_CXX_FLAGS_INIT "-march=x86-64 -mtune=generic")

# Link libstdc++, libgcc and winpthread statically, so every DLL and program imports
# only Windows system DLLs and runs where no MinGW runtime is installed
# (-static-libgcc -static-libstdc++ alone still import libwinpthread-1.dll).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
