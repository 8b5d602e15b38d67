#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number of seconds,
# one after the other, starting from its committed corpus in fuzz/corpus/<target>.
#
#   scripts/fuzz.sh SECONDS [--merge] [target ...]
#
# Prints one line per target: executions, seconds, and whether anything was found. A
# finding (crash, sanitizer report, broken rule) is kept in build-fuzz/findings/ and makes
# the script fail. --merge folds what a run discovered into the committed corpus, keeping
# only inputs that add coverage (libFuzzer's -merge=1).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 1 ] || ! [[ $1 =~ ^[0-9]+$ ]]; then
    echo "usage: $0 SECONDS [--merge] [target ...]" >&2
    exit 2
fi
seconds=$1
shift
merge=0
targets=()
for argument in "$@"; do
    case $argument in
    --merge) merge=1 ;;
    *) targets+=("$argument") ;;
    esac
done
[ ${#targets[@]} -gt 0 ] ||
    targets=(numeric_text receive_handler sim_request operations exchange_judge parameter_file)

build=build-fuzz
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++ -DRX904_FUZZ=ON -DRX904_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" -j2 --target "${targets[@]/%/_fuzzer}" >/dev/null

mkdir -p "$build/logs" "$build/findings"
summary="$build/fuzz-summary.txt"
: >"$summary"
status=0
printf '%-18s %12s %8s %10s  %s\n' target executions seconds "exec/s" result
for target in "${targets[@]}"; do
    corpus="fuzz/corpus/$target"
    work=$(mktemp -d)
    log="$build/logs/$target.log"
    options=(-max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048
        -artifact_prefix="$build/findings/$target-")
    [ -f "fuzz/$target.dict" ] && options+=(-dict="fuzz/$target.dict")
    started=$(date +%s.%N)
    result=clean
    # UBSan findings abort, so libFuzzer reports them like crashes.
    if ! UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        nice "$build/fuzz/${target}_fuzzer" "${options[@]}" "$work" "$corpus" >"$log" 2>&1; then
        result="FINDING (see $log and $build/findings/)"
        status=1
    fi
    elapsed=$(awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }')
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    executions=${executions:-0}
    rate=$(awk -v n="$executions" -v t="$elapsed" 'BEGIN { printf "%d", (t > 0 ? n / t : 0) }')
    printf '%-18s %12s %8.0f %10s  %s\n' "$target" "$executions" "$elapsed" "$rate" "$result" |
        tee -a "$summary"
    if [ $merge -eq 1 ] && [ "$result" = clean ]; then
        nice "$build/fuzz/${target}_fuzzer" -merge=1 "$corpus" "$work" >>"$log" 2>&1
    fi
    rm -rf "$work"
done
exit $status
