#!/usr/bin/env bash
# Line coverage of the program's code (src/, tests left out) by the Linux
# suite: builds with coverage counters into build-coverage/, runs the suite
# and prints gcovr's summary. Usage: scripts/coverage.sh [gcovr options...]
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/common.sh"
BUILD="$ROOT/build-coverage"

"$ROOT/scripts/install-deps.sh" "${BUILD_PACKAGES[@]}" gcovr
install_mdb_reader
build_program "$BUILD" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=--coverage \
  -DCMAKE_EXE_LINKER_FLAGS=--coverage -DZC_NPM_PREFIX="$NPM_PREFIX" >/dev/null
find "$BUILD" -name '*.gcda' -delete
ctest --test-dir "$BUILD" -j "$(nproc)" --timeout 600 >/dev/null || echo "(some tests failed)"
gcovr --root "$ROOT" --object-directory "$BUILD" --filter "$ROOT/src/" \
  --exclude '.*_test\.cc$' --exclude-unreachable-branches \
  --exclude-directories '.*/CMakeFiles/[0-9.]+' -j "$(nproc)" --print-summary "$@" |
  tail -n 3
