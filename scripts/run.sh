#!/usr/bin/env bash
# Builds the tool and runs it. Without a real RX904 attached (no RX904_COM1 set and no
# serial adapter present), COM1 is the simulated device rx904-sim.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DRX904_BUILD_TESTS=OFF
cmake --build build-release

adapters=$(ls /dev/ttyUSB* /dev/ttyACM* 2>/dev/null || true)
if [ -z "${RX904_COM1:-}" ] && [ -z "$adapters" ]; then
    link="${XDG_RUNTIME_DIR:-/tmp}/rx904-sim-COM1"
    source scripts/simulated-device.sh
    start_simulated_device build-release "$link" --wire-timing
    trap 'kill $sim 2>/dev/null || true' EXIT
    export RX904_COM1="$link"
    echo "No RX904 attached: COM1 is the simulated device ($link)."
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: the window runs on a virtual X display (Xvfb)."
    echo "Use scripts/screenshot.sh to see it, or run this script on a desktop."
    exec xvfb-run -a -s "-screen 0 1024x768x24" build-release/app/rx904-tool
fi
build-release/app/rx904-tool
