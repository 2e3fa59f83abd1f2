#!/usr/bin/env bash
# Checks the style of the tree: every C++ file as .clang-format lays it out,
# and clang-tidy (the checks of .clang-tidy) clean on src/. Uses the compile
# commands of build/default, configuring it if needed; builds nothing.
#
#   scripts/lint.sh            both checks
#   scripts/lint.sh --format   only the layout
#
# To fix the layout: git ls-files '*.cpp' '*.h' | xargs clang-format -i
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/setup.sh
failed=0
echo "clang-format: $(clang-format --version)"
if git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror; then
    echo "clang-format: clean"
else
    echo "clang-format: the files above are not laid out as .clang-format says" >&2
    failed=1
fi

if [[ "${1:-}" != "--format" ]]; then
    cmake --preset default >/dev/null # writes build/default/compile_commands.json
    echo "clang-tidy: $(clang-tidy --version | grep -m1 version)"
    # Only the sources of src/: the generated moc files under build/ are not ours.
    root_pattern=$(printf '%s' "$root" | sed 's/[][\\.*^$()+?{}|]/\\&/g')
    if run-clang-tidy -quiet -j "$(nproc)" -p build/default "^$root_pattern/src/.*\.cpp$" \
        >build/default/clang-tidy.log 2>&1; then
        echo "clang-tidy: clean"
    else
        grep -E "(warning|error):" build/default/clang-tidy.log >&2 || tail -n 20 build/default/clang-tidy.log >&2
        echo "clang-tidy: findings above (whole output in build/default/clang-tidy.log)" >&2
        failed=1
    fi
fi
exit "$failed"
