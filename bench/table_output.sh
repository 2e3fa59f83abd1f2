#!/bin/sh
# Table output throughput against the Python tools people would otherwise use:
#   CSV of a 256 x 9000 region, luminance   vs numpy.savetxt     (target >= 10x)
#   workbook of the same region with fills  vs python xlsxwriter (target >= 4x)
# both timed in process (bench_table_output against perf_counter in Python),
# the whole-process CLI figures for information, and the peak memory an export
# adds per cell of the region (limit 64 bytes). Ratios come from one run on this
# machine; builds lumiset-cli and bench_table_output (Release) in build/bench-output.
# CSV_RUNS and XLSX_RUNS set the number of timed runs (medians are printed).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/bench-output"
py=/usr/bin/python3
# Only this benchmark needs them, so the setup script does not install them.
if ! "$py" -c "import numpy, xlsxwriter" 2>/dev/null; then
    echo "table_output: needs numpy and xlsxwriter for $py; install them with" >&2
    echo "    sudo apt-get install -y python3-numpy python3-xlsxwriter" >&2
    exit 1
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DLUMISET_BUILD_TESTS=OFF -DLUMISET_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j "${JOBS:-2}" --target lumiset-cli bench_table_output >/dev/null
exec "$py" "$root/bench/table_output.py" "$build/src/lumiset-cli" "$build/bench/bench_table_output"
