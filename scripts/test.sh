#!/usr/bin/env bash
# Sets everything up, builds, and runs the whole test suite.
# LUMISET_WERROR=ON in the environment makes every warning an error (CI).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset default ${LUMISET_WERROR:+-DLUMISET_WERROR=$LUMISET_WERROR} >/dev/null
cmake --build --preset default
ctest --preset default
