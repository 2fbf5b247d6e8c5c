# Fetching and building the Windows libraries for scripts/windows, which sets cache, prefix,
# recipe and jobs. Debian's own sources, cross-built as 32-bit static libraries.
# shellcheck shell=bash

# apt with its own sources list, package lists and cache under build-windows/: only source
# packages are fetched through it.
private_apt() {
  local apt=$cache/apt
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial"
  [ -f "$apt/sources.list" ] || echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg]" \
    "http://deb.debian.org/debian bookworm main" >"$apt/sources.list"
  apt-get -q -o Dir::Etc::SourceList="$apt/sources.list" -o Dir::Etc::SourceParts=- \
    -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache" \
    -o APT::Sandbox::User=root "$@"
}

fetch_sources() {
  local src=$cache/src
  mkdir -p "$src"
  [ -d "$src/libsdl2-2.26.5+dfsg" ] && [ -d "$src/libsdl2-mixer-2.6.2+dfsg" ] &&
    [ -d "$src/allegro-4.4.3.1" ] && return 0
  private_apt update
  (cd "$src" && private_apt source libsdl2=2.26.5+dfsg-1 libsdl2-mixer=2.6.2+dfsg-2)
  # Allegro's Debian packaging tarball is missing from the archive; the upstream tarball, which
  # apt fetches first, is all the Windows build needs.
  (cd "$src" && { private_apt source --download-only allegro4.4=2:4.4.3.1-3 || true; } &&
    tar xzf allegro4.4_4.4.3.1.orig.tar.gz)
}

cross_cmake() {
  cmake -G "Unix Makefiles" -Wno-dev -DCMAKE_TOOLCHAIN_FILE="$recipe/toolchain-i686.cmake" \
    -DVEXLORN_WIN_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_PREFIX_PATH="$prefix" -DBUILD_SHARED_LIBS=OFF "$@"
}

build_sdl2() {
  cross_cmake -S "$cache/src/libsdl2-2.26.5+dfsg" -B "$cache/build-sdl2" -DSDL_SHARED=OFF \
    -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_STATIC_PIC=OFF -DSDL_RENDER=OFF -DSDL_OPENGL=OFF \
    -DSDL_OPENGLES=OFF -DSDL_VULKAN=OFF >/dev/null
  nice cmake --build "$cache/build-sdl2" -j "$jobs" >/dev/null
  cmake --install "$cache/build-sdl2" >/dev/null
  # SDL's own .pc would rename every main to SDL_main and make every program a window program;
  # the game has its own entry point (Allegro's) and the tests are console programs.
  cat >"$prefix/lib/pkgconfig/sdl2.pc" <<PC
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: sdl2
Description: Simple DirectMedia Layer (static, Windows)
Version: 2.26.5
Libs: -L\${libdir} -lSDL2 -lm -luser32 -lgdi32 -lwinmm -limm32 -lole32 -loleaut32 -lversion -luuid -ladvapi32 -lsetupapi -lshell32 -ldinput8
Cflags: -I\${includedir} -I\${includedir}/SDL2 -DSDL_MAIN_HANDLED
PC
}

# WAV and MP3 (dr_mp3, built in) are all the game's sounds need.
build_sdl2_mixer() {
  cross_cmake -S "$cache/src/libsdl2-mixer-2.6.2+dfsg" -B "$cache/build-sdl2-mixer" \
    -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_DEPS_SHARED=OFF \
    -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MIDI=OFF \
    -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS=OFF -DSDL2MIXER_MP3=ON -DSDL2MIXER_MP3_DRMP3=ON \
    -DSDL2MIXER_MP3_MPG123=OFF -DSDL2MIXER_WAVE=ON >/dev/null
  nice cmake --build "$cache/build-sdl2-mixer" -j "$jobs" >/dev/null
  cmake --install "$cache/build-sdl2-mixer" >/dev/null
  # A static build writes no SDL2_mixer.pc; the game finds its libraries with pkg-config.
  cat >"$prefix/lib/pkgconfig/SDL2_mixer.pc" <<PC
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: SDL2_mixer
Description: mixer library for SDL (static: WAV and MP3)
Version: 2.6.2
Requires: sdl2 >= 2.0.9
Libs: -L\${libdir} -lSDL2_mixer
Cflags: -I\${includedir}/SDL2
PC
}

build_allegro() {
  local dir=$cache/src/allegro-4.4.3.1
  local patch
  for patch in "$recipe"/patches/allegro4-*.patch; do
    local stamp
    stamp="$dir/.applied-$(basename "$patch")"
    [ -f "$stamp" ] || { patch -s -d "$dir" -p1 <"$patch" && touch "$stamp"; }
  done
  cross_cmake -S "$dir" -B "$cache/build-allegro4" -DSHARED=OFF -DWANT_ALLEGROGL=OFF \
    -DWANT_LOADPNG=OFF -DWANT_LOGG=OFF -DWANT_JPGALLEG=OFF -DWANT_EXAMPLES=OFF -DWANT_TOOLS=OFF \
    -DWANT_TESTS=OFF -DWANT_DOCS=OFF >/dev/null
  nice cmake --build "$cache/build-allegro4" -j "$jobs" >/dev/null
  cmake --install "$cache/build-allegro4" >/dev/null
  # Allegro's build writes allegro.pc only on Unix.
  local lib
  lib=$(cd "$prefix/lib" && ls liballeg*.a | head -1)
  lib=${lib#lib}
  cat >"$prefix/lib/pkgconfig/allegro.pc" <<PC
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: allegro
Description: Allegro game programming library (static, Windows)
Version: 4.4.3
Libs: -L\${libdir} -l${lib%.a} -lkernel32 -luser32 -lgdi32 -lcomdlg32 -lole32 -ldinput -lddraw -ldxguid -lwinmm -ldsound
Cflags: -I\${includedir} -DALLEGRO_STATICLINK
PC
}

