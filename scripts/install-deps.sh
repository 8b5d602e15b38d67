#!/usr/bin/env bash
# Installs the Debian packages the tool, its tests and its tools need; skips what is there.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-serialport-dev libgl-dev libxcb1-dev qt6-translations-l10n
    libgtest-dev libgmock-dev
    fonts-noto-cjk xvfb xauth imagemagick xdotool
    adwaita-qt6
    libmodbus-dev mbpoll
    clang libclang-rt-14-dev valgrind
    librsvg2-bin desktop-file-utils appstream lintian
    poppler-utils
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
