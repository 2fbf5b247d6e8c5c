# Shared by the scripts: Debian packages and the build.
# shellcheck shell=bash

VEXLORN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# What building, playing and testing need on a fresh Debian 12 machine.
VEXLORN_BUILD_PACKAGES=(build-essential cmake pkg-config liballegro4-dev libsdl2-dev libsdl2-mixer-dev
  libmp3lame-dev libmpg123-dev libfreetype-dev fonts-dejavu-core libx11-dev libxrandr-dev
  libenet-dev libminiupnpc-dev)
VEXLORN_TEST_PACKAGES=(libgtest-dev googletest libbenchmark-dev xvfb xdotool imagemagick
  x11-utils x11-xserver-utils xdg-utils python3 desktop-file-utils appstream man-db clang
  libclang-rt-14-dev openbox wmctrl)
# What scripts/windows needs: the 32-bit Windows cross compiler, Wine with its 32-bit part (for
# the tests, and for the installer's own checks), NSIS and zip; dpkg-dev fetches the libraries'
# Debian sources. The 64-bit cross compiler and wine64 test a 64-bit build instead where the
# kernel cannot run 32-bit programs.
VEXLORN_WINDOWS_PACKAGES=(g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-i686-dev
  binutils-mingw-w64-i686 wine wine32:i386 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  mingw-w64-x86-64-dev binutils-mingw-w64-x86-64 wine64 nsis zip cmake pkg-config dpkg-dev patch
  sox imagemagick)
# What scripts/check needs: the formatter and the two static analysers.
VEXLORN_CHECK_PACKAGES=(clang-format clang-tidy cppcheck)

# Installs whichever of the given packages are missing, through sudo when not root.
ensure_packages() {
  local missing=()
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Wine's 32-bit part comes from Debian's i386 packages.
ensure_windows_packages() {
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" dpkg --add-architecture i386
    "${sudo[@]}" apt-get update -qq
  fi
  ensure_packages "${VEXLORN_WINDOWS_PACKAGES[@]}"
}

# configure_and_build DIR [cmake options...]
configure_and_build() {
  local dir=$1
  shift
  cmake -S "$VEXLORN_ROOT" -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}
