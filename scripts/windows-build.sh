#!/usr/bin/env bash
# Builds and tests the tool for 64-bit Windows on Debian 12, and makes the download:
#   build-windows/rx904-tool-VERSION-windows-x64.zip and build-windows/rx904-tool-VERSION-setup.exe
# Everything comes from Debian's archive: the MinGW-w64 cross compilers, wine for the tests and
# the installer's check, NSIS, and Qt's base built once from Debian's source into
# /var/cache/rx904-qt-mingw (scripts/windows/qt.sh; about 25 minutes on two cores the first
# time, reused after). Run as root on a fresh machine, like the other scripts.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

bash scripts/windows/deps.sh
qt=$(bash scripts/windows/qt.sh | tail -1)
echo "Qt for MinGW: $qt"

# rx904-sim for Linux: the device behind wine's COM ports in the tests.
cmake -S . -B build-windows-host -G Ninja -DCMAKE_BUILD_TYPE=Release -DRX904_BUILD_TESTS=OFF \
    >/dev/null
cmake --build build-windows-host --target rx904-sim

export RX904_WINEPREFIX="${RX904_WINEPREFIX:-/var/tmp/rx904-wine}"
bash scripts/windows/wine-prefix.sh >/dev/null

# Qt's own toolchain file puts its prefix where a cross build looks for packages, and loads
# the MinGW one after it.
cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/scripts/windows/mingw-toolchain.cmake" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="env;RX904_QT_MINGW=$qt;$root/scripts/windows/wine-run.sh" \
    -DRX904_HOST_SIM="$root/build-windows-host/sim/rx904-sim" >/dev/null
cmake --build build-windows
ctest --test-dir build-windows --output-on-failure

mapfile -t made < <(bash scripts/windows/package.sh build-windows "$qt" | tail -2)
version=$(sed -n 's/^project(rx904_tool VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
bash scripts/windows/installer-check.sh "${made[1]}" "$version"
size=$(stat -c %s "${made[0]}")
echo "zip: ${made[0]} ($((size / 1024 / 1024)) MB)"
echo "installer: ${made[1]}"
