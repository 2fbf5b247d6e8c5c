# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix threads): the test build of
# scripts/windows --tests on a machine that cannot run 32-bit programs. Never shipped: Allegro 4
# keeps some addresses in `unsigned long` (patches-x86_64/ mends the ones the game reaches).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VEXLORN_MINGW x86_64-w64-mingw32)

set(CMAKE_C_COMPILER /usr/bin/${VEXLORN_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER /usr/bin/${VEXLORN_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER /usr/bin/${VEXLORN_MINGW}-windres)
set(CMAKE_AR /usr/bin/${VEXLORN_MINGW}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB /usr/bin/${VEXLORN_MINGW}-ranlib CACHE FILEPATH "")

# The cross-built libraries (scripts/windows passes the folder); CMake's own test projects
# read this file again and are handed the setting too.
if(NOT VEXLORN_WIN_PREFIX)
  set(VEXLORN_WIN_PREFIX $ENV{VEXLORN_WIN_PREFIX})
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VEXLORN_WIN_PREFIX)
set(CMAKE_FIND_ROOT_PATH /usr/${VEXLORN_MINGW} ${VEXLORN_WIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config looks only at the Windows libraries, never at the host's.
if(VEXLORN_WIN_PREFIX)
  set(ENV{PKG_CONFIG_LIBDIR} ${VEXLORN_WIN_PREFIX}/lib/pkgconfig)
endif()
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# ctest runs the cross-built tests through 64-bit Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/env VEXLORN_WINE=/usr/lib/wine/wine64
  WINELOADER=/usr/lib/wine/wine64 ${CMAKE_CURRENT_LIST_DIR}/run-under-wine)
