#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer (the
# "asan" preset, in build/asan) and runs the whole test suite under them.
# Installs nothing beyond scripts/setup.sh.
#
# The presets turn off LeakSanitizer's tracking of dynamic TLS
# (intercept_tls_get_addr=0): with Qt's image plugins loaded, GCC 12's leak
# checker otherwise meets a stale TLS block at exit and crashes its own tracer
# ("Tracer caught signal 11"), failing a test that passed.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset asan ${LUMISET_WERROR:+-DLUMISET_WERROR=$LUMISET_WERROR} >/dev/null
cmake --build --preset asan
ctest --preset asan
