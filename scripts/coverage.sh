#!/usr/bin/env bash
# Line coverage of the core library (src/image, src/output) by the whole test
# suite, measured with GCC's gcov through gcovr. Builds in build/coverage.
set -euo pipefail
cd "$(dirname "$0")/.."

command -v gcovr >/dev/null || { echo "coverage: gcovr is missing (apt-get install gcovr)" >&2; exit 1; }
cmake -S . -B build/coverage -G Ninja -DCMAKE_BUILD_TYPE=Debug \
      -DCMAKE_CXX_FLAGS=--coverage -DCMAKE_EXE_LINKER_FLAGS=--coverage \
      -DLUMISET_BUILD_BENCH=OFF >/dev/null
cmake --build build/coverage
find build/coverage -name '*.gcda' -delete
# Failures are reported by the normal suite; here only the figures matter.
(cd build/coverage && QT_QPA_PLATFORM=offscreen ctest -j2 >/dev/null) || true
gcovr -r . --filter src/image/ --filter src/output/ build/coverage "$@"
