#!/usr/bin/env bash
# The Windows build's figures under wine, after scripts/windows-build.sh: polling at 50 ms and
# 38400 baud for 60 s from the real window on COM1 against rx904-sim with line timing, the
# zip's size, and start-up to the window shown (wine on Xvfb, the window's mapping seen by
# xdotool). Prints Markdown for docs/performance.md.
set -euo pipefail
cd "$(dirname "$0")/../.."
root="$PWD"
qt=$(bash scripts/windows/qt.sh | tail -1)
export RX904_WINEPREFIX="${RX904_WINEPREFIX:-/var/tmp/rx904-wine}"
export WINEPREFIX="$RX904_WINEPREFIX" WINEDEBUG=-all
ports="${RX904_WINE_PORTS:-/var/tmp/rx904-wine-ports}"
sim_program="$root/build-windows-host/sim/rx904-sim"
out=$(mktemp -d)
sim=""
xvfb=""
trap 'kill $sim $xvfb 2>/dev/null || true; rm -rf "$out"' EXIT

echo "### Polling under wine"
echo
"$sim_program" --link "$ports/com1" --wire-timing --baud 38400 >/dev/null &
sim=$!
for _ in $(seq 100); do [ -e "$ports/com1" ] && break; sleep 0.05; done
wineserver -k 2>/dev/null || true
server_before=0
env RX904_QT_MINGW="$qt" scripts/windows/wine-run.sh build-windows/wine_polling.exe \
    'Z:'"${out//\//\\}"'\polling.md' 50 60 38400 &
run=$!
# wineserver does part of every serial call; its CPU is wine's too.
for _ in $(seq 50); do pgrep -x 'wineserver(64)?' >/dev/null && break; sleep 0.1; done
server=$(pgrep -x 'wineserver(64)?' | head -1)
ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }
server_before=$(ticks "$server")
wait $run
server_after=$(ticks "$server")
cat "$out/polling.md"
hz=$(getconf CLK_TCK)
echo "| CPU of wineserver over the run (wine's) | $(( (server_after - server_before) * 100 / hz / 61 )) % |"
kill $sim 2>/dev/null || true
sim=""
echo

echo "### Download"
echo
zip=$(ls build-windows/rx904-tool-*-windows-x64.zip)
setup=$(ls build-windows/rx904-tool-*-setup.exe)
echo "| file | size |"
echo "| --- | --- |"
echo "| $(basename "$zip") | $(( $(stat -c %s "$zip") / 1024 )) KiB |"
echo "| $(basename "$setup") | $(( $(stat -c %s "$setup") / 1024 )) KiB |"
echo "| unpacked | $(du -sk build-windows/dist/rx904-tool-*-windows-x64 | cut -f1) KiB |"
echo

echo "### Start-up under wine"
echo
Xvfb :97 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
exe=$(ls -d build-windows/dist/rx904-tool-*-windows-x64)/rx904-tool.exe
echo "| run | launch to window mapped |"
echo "| --- | --- |"
# The first run starts wine's server too; the others find it running, as a second start of
# a program on Windows finds the system's DLLs in memory.
wineserver -k 2>/dev/null || true
for run in 1 2 3; do
    start=$(date +%s%N)
    DISPLAY=:97 wine "$exe" >/dev/null 2>&1 &
    tool=$!
    DISPLAY=:97 xdotool search --sync --onlyvisible --classname rx904-tool.exe >/dev/null
    end=$(date +%s%N)
    label=$run
    [ $run = 1 ] && label="1 (wine's server starting)"
    echo "| $label | $(( (end - start) / 1000000 )) ms |"
    kill $tool 2>/dev/null || true
    wait $tool 2>/dev/null || true
done
wineserver -k 2>/dev/null || true
