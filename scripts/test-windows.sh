#!/usr/bin/env bash
# Cross-builds the program and its tests for 64-bit Windows with MinGW-w64
# into build-windows/ and runs them under wine, the window's tests on a
# virtual X display. Usage: scripts/test-windows.sh
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/common.sh"

"$ROOT/scripts/install-deps.sh" "${WINDOWS_PACKAGES[@]}"
use_virtual_display "$@"
build_windows
start_wine
ctest --test-dir "$ROOT/build-windows" --output-on-failure --timeout 300 -j "$(nproc)"
