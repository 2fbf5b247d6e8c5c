# The Windows build (scripts/windows): static libraries, the icon and version resource, the
# per-monitor DPI manifest, and the data file taken from a native build.
set(VEXLORN_NATIVE_BUILD "" CACHE PATH "A native build whose vexlorn-demo.dat and icons to use")
if(NOT EXISTS ${VEXLORN_NATIVE_BUILD}/vexlorn-demo.dat)
  message(FATAL_ERROR "VEXLORN_NATIVE_BUILD must name a native build with its data file")
endif()
enable_language(RC)

# Every processor Windows 8 and later runs on has SSE2; with it, floating point rounds as it does
# on 64-bit Linux rather than through the x87's longer registers.
add_compile_options(-msse2 -mfpmath=sse)
# C99's printf formats (%zu) from mingw's own stdio rather than the old msvcrt's. GCC still checks
# format attributes against msvcrt's printf, so the checks would flag formats that work.
add_compile_definitions(__USE_MINGW_ANSI_STDIO=1)
add_compile_options(-Wno-format)
# localtime_r and the other re-entrant POSIX calls mingw's headers provide.
add_compile_definitions(_POSIX_THREAD_SAFE_FUNCTIONS)

# No DLL beyond Windows' own: the C++ runtime and winpthreads go into every program.
add_link_options(-static -static-libgcc -static-libstdc++)

add_library(vexlorn_platform_libraries INTERFACE)
target_link_libraries(vexlorn_platform_libraries INTERFACE winmm shell32 ole32 uuid)

configure_file(${VEXLORN_NATIVE_BUILD}/vexlorn-demo.dat ${CMAKE_BINARY_DIR}/vexlorn-demo.dat
  COPYONLY)
find_program(VEXLORN_CONVERT convert REQUIRED)
set(VEXLORN_ICON ${CMAKE_BINARY_DIR}/vexlorn.ico)
add_custom_command(OUTPUT ${VEXLORN_ICON}
  COMMAND ${VEXLORN_CONVERT} ${VEXLORN_NATIVE_BUILD}/icons/vexlorn-256.png
    -define icon:auto-resize=256,128,64,48,32,16 ${VEXLORN_ICON}
  DEPENDS ${VEXLORN_NATIVE_BUILD}/icons/vexlorn-256.png
  COMMENT "Making vexlorn.ico from the generator's icon")

function(vexlorn_windows_game target)
  set(VEXLORN_RC_VERSION "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/vexlorn.rc.in ${CMAKE_BINARY_DIR}/vexlorn.rc
    @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/vexlorn.manifest
    ${CMAKE_BINARY_DIR}/vexlorn.manifest COPYONLY)
  set_source_files_properties(${CMAKE_BINARY_DIR}/vexlorn.rc PROPERTIES
    OBJECT_DEPENDS "${VEXLORN_ICON};${CMAKE_BINARY_DIR}/vexlorn.manifest")
  target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/vexlorn.rc)
  # A window program: no console window opens beside the game.
  target_link_options(${target} PRIVATE -mwindows)
endfunction()
