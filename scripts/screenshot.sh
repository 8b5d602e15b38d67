#!/usr/bin/env bash
# Takes a picture of the real window under Xvfb, talking to rx904-sim as COM1, after
# pressing "单次" and "读设备信息" the way an operator would.
#   scripts/screenshot.sh [BUILD_DIR] [OUTPUT.png] [light|dark] [zh|en]
# "dark" is the Adwaita-Dark theme of a dark desktop (Debian's adwaita-qt6); "en" shows the
# window in English.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
theme="${3:-light}"
language="${4:-zh}"
case "$theme" in
light) style="" default_output=docs/window.png ;;
dark) style=Adwaita-Dark default_output=docs/window-dark.png ;;
*)
    echo "Unknown theme '$theme': use light or dark." >&2
    exit 2
    ;;
esac
output="${2:-$default_output}"
if [ -n "$style" ] && ! dpkg-query -W -f='${Status}' adwaita-qt6 2>/dev/null | grep -q "ok installed"; then
    echo "The dark theme needs adwaita-qt6: run scripts/install-deps.sh as root." >&2
    exit 1
fi

link="$(mktemp -u /tmp/rx904-shot-XXXXXX)"
source scripts/simulated-device.sh
start_simulated_device "$build" "$link"
trap 'kill $sim 2>/dev/null || true' EXIT

# With no window manager the window's client area starts at the screen's top-left corner,
# so these are window coordinates of the buttons' centres.
single_query="376 521"
device_info="480 545"

RX904_COM1="$link" QT_STYLE_OVERRIDE="$style" xvfb-run -a -s "-screen 0 668x589x24" bash -c "
    '$build/app/rx904-tool' --language $language &
    tool=\$!
    sleep 2
    xdotool mousemove $single_query click 1
    sleep 0.5
    xdotool mousemove $device_info click 1
    sleep 0.5
    import -window root '$output'
    kill \$tool
"
echo "Saved $output"
