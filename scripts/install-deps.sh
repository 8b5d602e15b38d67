#!/usr/bin/env bash
# Installs the Debian packages the tool, its tests and its tools need; skips what is there.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-serialport-dev libgl-dev libxcb1-dev qt6-translations-l10n
    qt6-l10n-tools qt6-tools-dev
    libgtest-dev libgmock-dev
    fonts-noto-cjk xvfb xauth imagemagick xdotool
    adwaita-qt6
    libmodbus-dev mbpoll
    clang libclang-rt-14-dev valgrind
    librsvg2-bin desktop-file-utils appstream lintian
    poppler-utils
)

"$(dirname "$0")/install-packages.sh" "${packages[@]}"
