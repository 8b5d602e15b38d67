#!/usr/bin/env bash
# Makes the wine prefix the Windows tests run in (once; reused while it is there), with COM1 …
# COM3 in wine's port registry pointing at fixed links that tests/windows/with-com-ports.sh
# lets rx904-sim place. A link left in dosdevices alone would be replaced by wine's own
# /dev/ttyS0 when wine starts; the registry value is what wine keeps.
set -euo pipefail
export WINEPREFIX="${RX904_WINEPREFIX:-/var/tmp/rx904-wine}"
export WINEDEBUG=-all
ports="${RX904_WINE_PORTS:-/var/tmp/rx904-wine-ports}"
mkdir -p "$ports"
if [ ! -f "$WINEPREFIX/.rx904-ports" ]; then
    wineboot -i >/dev/null 2>&1
    for n in 1 2 3; do
        wine reg add 'HKLM\Software\Wine\Ports' /v "COM$n" /d "$ports/com$n" /f >/dev/null 2>&1
    done
    # The ports are read when wine starts.
    wineserver -w
    touch "$WINEPREFIX/.rx904-ports"
fi
echo "$WINEPREFIX"
