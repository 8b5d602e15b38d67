#!/usr/bin/env bash
# Runs a Windows test program with wine's COM1 … COM3 on simulated devices (wine_ports.h):
#   with-com-ports.sh RX904_SIM EMULATOR... PROGRAM.exe [ARG]...
# wine's port registry (scripts/windows/wine-prefix.sh) maps COMn to the fixed link
# $RX904_WINE_PORTS/comN; each rx904-sim replaces its link with its own terminal.
set -euo pipefail
sim_program="$1"
shift
ports="${RX904_WINE_PORTS:-/var/tmp/rx904-wine-ports}"
mkdir -p "$ports"

sims=()
trap 'kill "${sims[@]}" 2>/dev/null || true; wait 2>/dev/null || true' EXIT
start() {
    local link="$1"
    shift
    rm -f "$link"
    "$sim_program" --link "$link" "$@" >/dev/null &
    sims+=($!)
    for _ in $(seq 100); do [ -e "$link" ] && return 0; sleep 0.05; done
    echo "rx904-sim made no terminal at $link" >&2
    exit 1
}
start "$ports/com1" --register 0=235
start "$ports/com2" --fault split=2
start "$ports/com3" --close-after-requests 2

"$@"
