#!/bin/sh
# Builds the loading benchmarks in build/bench (Release) and runs them.
# Any argument is passed on to bench_load, e.g.
#   bench/run.sh --benchmark_filter='Lumiset|Qt_Q' --no-memory
#   bench/run.sh --width=3000 --height=2000
# The 12000 x 9000 picture (about 324 MB) is written to a temporary folder under
# $TMPDIR (or /tmp) and removed when the run ends.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/bench"
jobs=${JOBS:-2}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DLUMISET_BUILD_TESTS=OFF -DLUMISET_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j "$jobs" --target bench_load bench_load_memory bench_decoded
exec "$build/bench/bench_load" "$@"
