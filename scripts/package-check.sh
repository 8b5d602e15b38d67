#!/usr/bin/env bash
# Installs the package that scripts/package.sh built, starts the installed rx904-tool offscreen
# against the installed rx904-sim as COM1 until one query is answered, then purges the package
# and checks that none of its files is left. Needs root.
set -euo pipefail
cd "$(dirname "$0")/.."

deb=$(echo build-package/rx904-tool_*.deb)
[ -f "$deb" ] || { echo "No package in build-package/: run scripts/package.sh first." >&2; exit 1; }
export DEBIAN_FRONTEND=noninteractive

work=$(mktemp -d)
sim=
cleanup() {
    [ -n "$sim" ] && kill "$sim" 2>/dev/null || true
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

# The command of the desktop entry, as the menu starts it.
command=$(sed -n 's/^Exec=//p' /usr/share/applications/io.github.rx904tool.Rx904Tool.desktop)
report=$(QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work" RX904_REPORT_STARTUP=query \
    RX904_COM1="$work/com1" timeout 60 $command)
kill "$sim" && wait "$sim" || true
sim=
echo "$report"
grep -q '^shown [0-9]* port-open 1$' <<<"$report" || { echo "COM1 was not open" >&2; exit 1; }
grep -q '^answered 1$' <<<"$report" || { echo "The query got no answer" >&2; exit 1; }
grep -q ' answer-last 01031E' "$work/sim.log" || { echo "rx904-sim sent no answer" >&2; exit 1; }

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
