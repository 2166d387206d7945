#!/usr/bin/env bash
# Cross-builds the core and its tests for 64-bit Windows with MinGW-w64 into
# build-windows/ and runs them under wine. Usage: scripts/test-windows.sh
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD="$ROOT/build-windows"

# 64-bit wine alone runs 64-bit programs: no i386 architecture, no wine32.
# googletest brings the GoogleTest sources; the certificates let CMake fetch
# the SQLite sources over HTTPS.
"$ROOT/scripts/install-deps.sh" cmake ninja-build googletest ca-certificates \
  g++-mingw-w64-x86-64-posix wine wine64

# A wine configuration of our own, beside the build; no debug chatter, and no
# offer to install .NET or a browser engine into it.
export WINEPREFIX="$BUILD/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  >/dev/null
cmake --build "$BUILD" -j "$(nproc)"

# One wine server for every test, started and warmed up once rather than per
# test program, and stopped again however the tests end. The warm-up starts
# wine's background services; away from ctest's output pipes, or ctest would
# wait for them to close those pipes.
wineserver -p
trap 'wineserver -k || true' EXIT
wine cmd /c exit </dev/null >/dev/null 2>&1
ctest --test-dir "$BUILD" --output-on-failure --timeout 300 -j "$(nproc)"
