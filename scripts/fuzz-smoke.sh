#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (fuzz/run.sh, in build/fuzz) and runs
# each one briefly from its corpus in fuzz/corpus/, so that the harnesses keep
# building and the readers meet the saved inputs plus some new ones on every
# CI run. Any crash, leak or sanitizer report fails the script; the input that
# caused it is kept in build/fuzz/artifacts/TARGET/.
#
#   scripts/fuzz-smoke.sh [SECONDS]     # per target, 30 by default
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
targets=(fuzz_bmp_stage_one fuzz_tga_stage_one fuzz_pixel_loader fuzz_preview fuzz_export fuzz_decoded)

scripts/setup.sh
fuzz/run.sh --build-only

failed=()
for target in "${targets[@]}"; do
    log="build/fuzz/$target.log"
    if LUMISET_FUZZ_NO_BUILD=1 fuzz/run.sh "$target" "$seconds" >"$log" 2>&1; then
        echo "$target: $(grep -m1 -o 'Done [0-9]* runs in [0-9]* second(s)' "$log" || echo done)"
    else
        echo "$target: FAILED (build/fuzz/artifacts/$target/)" >&2
        tail -n 40 "$log" >&2
        failed+=("$target")
    fi
done
[ ${#failed[@]} -eq 0 ] || { echo "fuzz-smoke: failed: ${failed[*]}" >&2; exit 1; }
