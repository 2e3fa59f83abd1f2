#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz and runs one of them.
#
#   fuzz/run.sh TARGET [SECONDS] [-- extra libFuzzer options]
#   fuzz/run.sh --build-only
#
# TARGET is one of fuzz_bmp_stage_one, fuzz_tga_stage_one, fuzz_pixel_loader,
# fuzz_preview, fuzz_export, fuzz_decoded. New inputs go to build/fuzz/work/TARGET; the
# corpus kept in the repository (fuzz/corpus/TARGET) is only read. Crashes are
# written to build/fuzz/artifacts/. Set LUMISET_FUZZ_NO_BUILD=1 to skip the
# configure and build step (when several targets run side by side).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"
compiler=${CXX_FUZZ:-clang++-14}
c_compiler=${CC_FUZZ:-clang-14}

if [[ "${LUMISET_FUZZ_NO_BUILD:-0}" != 1 ]]; then
    cmake -S "$root" -B "$build" -G Ninja \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DLUMISET_FUZZ=ON -DLUMISET_BUILD_TESTS=OFF -DLUMISET_BUILD_BENCH=OFF \
        ${LUMISET_WERROR:+-DLUMISET_WERROR=$LUMISET_WERROR} \
        -DCMAKE_C_COMPILER="$c_compiler" -DCMAKE_CXX_COMPILER="$compiler" >/dev/null
    cmake --build "$build" --target fuzz_all -j2
fi

if [[ "${1:-}" == "--build-only" ]]; then
    exit 0
fi
if [[ $# -lt 1 ]]; then
    sed -n '2,12p' "$0" >&2
    exit 2
fi

target=$1
seconds=${2:-60}
shift $(( $# >= 2 ? 2 : 1 ))
[[ "${1:-}" == "--" ]] && shift

binary="$build/fuzz/$target"
if [[ ! -x "$binary" ]]; then
    echo "run.sh: no such target: $target" >&2
    exit 2
fi

work="$build/work/$target"
artifacts="$build/artifacts/$target/"
mkdir -p "$work" "$artifacts" "$root/fuzz/corpus/$target"

# UBSan stops at the first report and names the call chain, so a finding is a
# crash file with a stack, like an ASan one.
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

exec "$binary" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=5 \
    -artifact_prefix="$artifacts" -print_final_stats=1 "$@" \
    "$work" "$root/fuzz/corpus/$target"
