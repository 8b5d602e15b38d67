#!/usr/bin/env bash
# The checks that need a build without sanitizers, in build-plain/: the codec and operations
# tests under valgrind (label valgrind) and the one-minute garbage flood with its memory
# bound (label soak). CI runs it after scripts/test.sh. The whole ctest output is kept in
# build-plain/reliability-checks.log; the figures are printed.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build-plain -G Ninja -DCMAKE_BUILD_TYPE=Debug -DRX904_SOAK=ON -DRX904_VALGRIND=ON \
    >/dev/null
cmake --build build-plain -j2 --target test_modbus test_operations test_soak
log=build-plain/reliability-checks.log
status=0
ctest --test-dir build-plain --output-on-failure -V -L 'valgrind|soak' >"$log" 2>&1 || status=$?
grep -E 'RELIABILITY|ERROR SUMMARY|definitely lost|indirectly lost|tests passed' "$log" |
    sed -E 's/^[0-9]+: //' || true
if [ $status -ne 0 ]; then
    tail -60 "$log"
    echo "reliability checks failed (see $log)" >&2
fi
exit $status
