#!/usr/bin/env bash
# Fuzzes every reader of outside data (fuzz/, libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer, clang) in build-fuzz/: builds the targets, writes their seed
# corpora with the station's own writers, then runs each target for SECONDS (default 20), two
# at a time. Fails when any target crashes, hangs past 10 s on one input, runs out of memory
# or breaks an invariant; the input that did it is kept in build-fuzz/fuzz-artifacts/.
#   bash tools/fuzz.sh            the short run (20 s per target)
#   bash tools/fuzz.sh 600        the longer local run
#   FUZZ_TARGETS="native pictures" bash tools/fuzz.sh 60    only these targets
# What a run found is kept in build-fuzz/corpus/<target>/ and used by the next run. An input
# that broke a reader belongs, once fixed, in tests/fuzz/<target>/ (small), where every build
# runs it as a test.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
build=${FUZZ_BUILD_DIR:-build-fuzz}
jobs=${JOBS:-2}
parallel=${FUZZ_PARALLEL:-2}

if ! command -v clang++ >/dev/null; then
    echo "fuzz: clang++ is missing (bash setup.sh installs it)" >&2
    exit 1
fi
if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DSTATION_FUZZ=ON -DSTATION_WITH_GUI=OFF -DSTATION_WITH_BENCH=OFF
fi
cmake --build "$build" --target fuzz_all -j "$jobs"
cmake --build "$build" --target fuzz_seeds

targets=${FUZZ_TARGETS:-$(cat "$build/fuzz_targets.txt")}
logs="$build/fuzz-logs"
artifacts="$build/fuzz-artifacts"
mkdir -p "$logs" "$artifacts"
# The targets' scratch files go to memory when it can take them.
scratch_root=/dev/shm
[ -d "$scratch_root" ] && [ -w "$scratch_root" ] || scratch_root=${TMPDIR:-/tmp}
scratch=$(mktemp -d "$scratch_root/station-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

run_one() {
    local t=$1
    local extra=() rc
    [ -d "tests/fuzz/$t" ] && extra+=("tests/fuzz/$t")
    mkdir -p "$build/corpus/$t"
    FUZZ_SCRATCH="$scratch" ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} \
        "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$artifacts/$t-" \
        "$build/corpus/$t" "${extra[@]}" >"$logs/$t.log" 2>&1 && rc=0 || rc=$?
    echo "$rc" >"$logs/$t.rc"
}

echo "fuzz: $(echo $targets | wc -w) targets, ${seconds}s each, $parallel at a time (logs in $logs)"
running=0
for t in $targets; do
    rm -f "$logs/$t.rc"
    if ((running >= parallel)); then
        wait -n || true
        running=$((running - 1))
    fi
    run_one "$t" &
    running=$((running + 1))
done
wait
failed=()
for t in $targets; do
    [ "$(cat "$logs/$t.rc" 2>/dev/null)" = 0 ] || failed+=("$t")
done

printf '%-16s %12s %8s %8s  %s\n' target executions cov ft result
for t in $targets; do
    log="$logs/$t.log"
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    result=ok
    [[ " ${failed[*]} " == *" $t "* ]] && result="FAILED (see $log)"
    printf '%-16s %12s %8s %8s  %s\n' "$t" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$result"
done
if ((${#failed[@]})); then
    echo "fuzz: ${failed[*]} failed; inputs in $artifacts" >&2
    for t in "${failed[@]}"; do grep -m3 -E "ERROR|runtime error|invariant broken" "$logs/$t.log" >&2 || true; done
    exit 1
fi
echo "fuzz: no findings"
