#!/usr/bin/env bash
# Installs the package that scripts/package.sh built, starts the installed rx904-tool from its
# desktop entry on a virtual X display against the installed rx904-sim as COM1, presses "单次"
# as an operator would until the device has answered, reads the same device with the installed
# rx904ctl, then purges the package and checks that none of its files is left. Needs root.
set -euo pipefail
cd "$(dirname "$0")/.."

deb=$(echo build-package/rx904-tool_*.deb)
[ -f "$deb" ] || { echo "No package in build-package/: run scripts/package.sh first." >&2; exit 1; }
export DEBIAN_FRONTEND=noninteractive

work=$(mktemp -d)
sim=
tool=
xserver=
cleanup() {
    for pid in $tool $sim $xserver; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

apt-get install -y -qq "./$deb" >/dev/null
dpkg -L rx904-tool >"$work/files"
version=$(dpkg-query -W -f='${Version}' rx904-tool)
[ "$(/usr/bin/rx904-tool --version)" = "rx904-tool ${version%-*}" ] ||
    { echo "rx904-tool --version does not print ${version%-*}" >&2; exit 1; }

/usr/bin/rx904-sim --link "$work/com1" --log "$work/sim.log" >/dev/null &
sim=$!
for _ in $(seq 100); do [ -e "$work/com1" ] && break; sleep 0.1; done

# A display of its own; with no window manager the window's client area starts at the
# screen's top-left corner, so "单次" is at its place in the window (app/main_window_ui.cpp).
Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp >"$work/display" 2>/dev/null &
xserver=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb named no display" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"

# The command of the desktop entry, as the menu starts it.
command=$(sed -n 's/^Exec=//p' /usr/share/applications/io.github.rx904tool.Rx904Tool.desktop)
QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work" RX904_COM1="$work/com1" $command >/dev/null 2>&1 &
tool=$!
for _ in $(seq 300); do
    xdotool search --pid "$tool" --name RX904 >/dev/null 2>&1 && break
    kill -0 "$tool" 2>/dev/null || { echo "rx904-tool ended at start" >&2; exit 1; }
    sleep 0.1
done
sleep 1
xdotool mousemove 376 522 click 1
answered=0
for _ in $(seq 100); do
    grep -q ' answer-last 01031E' "$work/sim.log" 2>/dev/null && { answered=1; break; }
    sleep 0.1
done
kill "$tool" && wait "$tool" || true
tool=
[ "$answered" -eq 1 ] || { echo "The query pressed in the installed tool got no answer" >&2; exit 1; }

# The installed rx904ctl reads the same device, with no display, and exits 0.
DISPLAY= /usr/bin/rx904ctl --port "$work/com1" --format json read >"$work/read.json" ||
    { echo "The installed rx904ctl could not read the device" >&2; exit 1; }
grep -q '"alarm_high"' "$work/read.json" ||
    { echo "rx904ctl read printed no alarm_high: $(cat "$work/read.json")" >&2; exit 1; }
[ -f /usr/share/bash-completion/completions/rx904ctl ] && [ -f /usr/share/man/man1/rx904ctl.1.gz ] ||
    { echo "rx904ctl's completion or manual page is missing" >&2; exit 1; }
kill "$sim" && wait "$sim" || true
sim=
kill "$xserver" && wait "$xserver" || true
xserver=

apt-get purge -y -qq rx904-tool >/dev/null
if dpkg -s rx904-tool >/dev/null 2>&1; then
    echo "rx904-tool is still known to dpkg" >&2
    exit 1
fi
left=0
while read -r path; do
    # A directory that another package holds too, such as /usr/share/applications, stays.
    if [ -e "$path" ] && { [ ! -d "$path" ] || ! dpkg -S "$path" >/dev/null 2>&1; }; then
        echo "Left behind: $path" >&2
        left=1
    fi
done <"$work/files"
[ "$left" -eq 0 ] || exit 1
echo "Installed, ran, answered and purged: $deb"
