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

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "These packages are missing; run this script as root (or with sudo)." >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
