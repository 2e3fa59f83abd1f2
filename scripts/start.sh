#!/usr/bin/env bash
# Sets everything up, builds, and starts Lumiset in the samples folder.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target lumiset lumiset-cli

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display is available, so the window cannot be shown."
    echo "Here is what it would report for samples/chart24.bmp (lumiset-cli info):"
    echo
    exec build/default/src/lumiset-cli info samples/chart24.bmp
fi
exec build/default/src/lumiset samples
