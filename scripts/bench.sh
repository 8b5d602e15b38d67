#!/usr/bin/env bash
# Builds a Release tree in build-bench/ (no sanitizers: they would distort every figure) and
# runs rx904-bench in full: 60 s per row at 50/100 ms and 9600/38400 baud beside mbpoll,
# 60 s idle, a 10-minute run for memory, seven start-ups, then the real rx904-tool on Xvfb
# (CPU of the tool and the X server with the traffic monitor closed, on its record and on its
# trend; instructions per exchange under callgrind; about 13 minutes of it); about 35 minutes
# in all. Prints the table, keeps it in build-bench/bench-result.md and plots the request gaps
# into docs/request-gaps.png. Arguments go to rx904-bench (rx904-bench --help lists them). Then
# rx904-exchange-cost (under a minute) prints what the window's updates of one exchange cost,
# and rx904-monitor-bench (about three minutes) an hour of polling through the traffic monitor.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DRX904_SANITIZE=OFF
cmake --build build-bench -j2 --target rx904-bench rx904-tool rx904-sim rx904-exchange-cost \
    rx904-monitor-bench
build-bench/bench/rx904-bench --plot docs/request-gaps.png "$@" | tee build-bench/bench-result.md
echo
build-bench/bench/rx904-exchange-cost | tee -a build-bench/bench-result.md
echo
build-bench/bench/rx904-monitor-bench | tee -a build-bench/bench-result.md
