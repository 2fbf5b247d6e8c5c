# Cross-compiling for 32-bit Windows with Debian's mingw-w64 (posix threads, for std::thread).
# 32 bits because Allegro 4 keeps addresses in `unsigned long`, which 64-bit Windows leaves at
# 32 bits: in a 32-bit program every address fits.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VEXLORN_MINGW i686-w64-mingw32)

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

# ctest runs the cross-built tests through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/run-under-wine)
