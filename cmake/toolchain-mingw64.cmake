# Cross-builds the core and its tests for 64-bit Windows with Debian's
# MinGW-w64 (posix threads). Executables are linked statically so that they
# run under Wine without hunting for the compiler's DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(RAVOK_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${RAVOK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${RAVOK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${RAVOK_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${RAVOK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest and the test discovery run the Windows executables through Wine.
find_program(RAVOK_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(RAVOK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${RAVOK_WINE})
endif()
