#!/usr/bin/env bash
# Takes a picture of the traffic monitor ("通讯监视", opened with --monitor) beside the real
# window under Xvfb, while the window polls rx904-sim as COM1 ("循环").
#   scripts/monitor-screenshot.sh [BUILD_DIR] [OUTPUT.png] [record|trend]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
output="${2:-docs/monitor.png}"
tab="${3:-record}"

link="$(mktemp -u /tmp/rx904-shot-XXXXXX)"
source scripts/simulated-device.sh
start_simulated_device "$build" "$link" --wire-timing
trap 'kill $sim 2>/dev/null || true' EXIT

# Window coordinates as in screenshot.sh: with no window manager both windows start at the
# screen's top-left corner, so the monitor is moved to the right of the main window.
cyclic="446 521"
interval="300 521"
trend_tab="$((668 + 100)) 82"

RX904_COM1="$link" xvfb-run -a -s "-screen 0 1500x600x24" bash -c "
    '$build/app/rx904-tool' --language zh --monitor &
    tool=\$!
    sleep 2
    xdotool search --name '^通讯监视\$' windowmove 668 0
    xdotool mousemove $interval click --repeat 3 1 type 200
    xdotool mousemove $cyclic click 1
    sleep 12
    if [ '$tab' = trend ]; then xdotool mousemove $trend_tab click 1; sleep 1; fi
    import -window root '$output'
    kill \$tool
"
echo "Saved $output"
