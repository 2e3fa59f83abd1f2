#!/bin/sh
# Table output throughput against the Python tools people would otherwise use:
#   CSV of a 256 x 9000 region, luminance   vs numpy.savetxt     (target >= 10x)
#   workbook of the same region with --fill vs python xlsxwriter (target >= 4x)
# and the peak memory an export adds per cell of the region. Ratios come from
# one run on this machine; builds lumiset-cli (Release) in build/bench-output.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/bench-output"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DLUMISET_BUILD_TESTS=OFF -DLUMISET_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "${JOBS:-2}" --target lumiset-cli >/dev/null
exec /usr/bin/python3 "$root/bench/table_output.py" "$build/src/lumiset-cli"
