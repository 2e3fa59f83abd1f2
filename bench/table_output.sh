#!/bin/sh
# lumiset-cli against Pillow + numpy (+ xlsxwriter) as whole processes, in one
# run: CSV and coloured workbook of a 256 x 3000 region of a 4000 x 3000 BMP,
# CSV of a whole 12000 x 9000 BMP; peak memory beyond the pixel tables; perf's
# share of our code in the workbook time. Builds lumiset-cli (Release) in
# build/bench-output. RUNS sets the number of timed runs (medians are printed).
# Needs about 3 GB of memory and 2 GB in $TMPDIR.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/bench-output"
py=/usr/bin/python3
# Only this benchmark needs them, so the setup script does not install them.
if ! "$py" -c "import numpy, xlsxwriter, PIL" 2>/dev/null; then
    echo "table_output: needs Pillow, numpy and xlsxwriter for $py; install them with" >&2
    echo "    sudo apt-get install -y python3-pil python3-numpy python3-xlsxwriter" >&2
    exit 1
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DLUMISET_BUILD_TESTS=OFF -DLUMISET_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "${JOBS:-2}" --target lumiset-cli >/dev/null
exec "$py" "$root/bench/table_output.py" "$build/src/lumiset-cli"
