#!/usr/bin/env bash
# The test suite under AddressSanitizer and UndefinedBehaviorSanitizer (GCC), in build-asan/.
# Any report fails the test that caused it. The Qt windows and the benchmarks are left out:
# the tests never use them, and the Qt libraries are not built with the sanitizers.
#   bash tools/sanitize.sh            configure, build, run every test
#   bash tools/sanitize.sh -R Purge   ... only the tests ctest -R selects
set -euo pipefail
cd "$(dirname "$0")/.."
build=${SANITIZE_BUILD_DIR:-build-asan}
jobs=${JOBS:-2}

if [ ! -f "$build/build.ninja" ]; then
    # -O1 with line tables: a quicker build than -O2 -g on CI's two cores, stack traces that
    # still name the lines, and the assertions left on.
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DSTATION_SANITIZE=ON \
        -DSTATION_WITH_GUI=OFF -DSTATION_WITH_BENCH=OFF
fi
cmake --build "$build" -j "$jobs"

# Leaks count as failures too; the tests' child processes (deco, tinrell) inherit these.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$build" --output-on-failure -j "$jobs" "$@"
