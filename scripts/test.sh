#!/usr/bin/env bash
# Builds every test and runs them all.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/common.sh"

bash "$ROOT/scripts/test-share.sh"
"$ROOT/scripts/install-deps.sh" "${BUILD_PACKAGES[@]}"
install_mdb_reader
build_program "$ROOT/build" -DZC_NPM_PREFIX="$NPM_PREFIX"
ctest --test-dir "$ROOT/build" --output-on-failure -j "$(nproc)"
bash "$ROOT/scripts/test-sanitizers.sh"
bash "$ROOT/scripts/fuzz.sh" 20
bash "$ROOT/scripts/test-windows.sh"
