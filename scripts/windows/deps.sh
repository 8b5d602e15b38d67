#!/usr/bin/env bash
# Installs from Debian what the Windows build needs: the MinGW-w64 cross compilers, wine to run
# the tests and the installer, NSIS, icoutils for the icon; skips what is there.
set -euo pipefail

packages=(
    cmake ninja-build g++ dpkg-dev qt6-base-dev qt6-base-dev-tools qt6-serialport-dev
    qt6-translations-l10n googletest
    g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
    wine wine64 nsis icoutils librsvg2-bin zip unzip
)

"$(dirname "$0")/../install-packages.sh" "${packages[@]}"
