#!/usr/bin/env bash
# Builds the program and saves pictures of its window drawn on a virtual X
# display: the Qt window and the Win32 window, drawn by wine.
# Usage: scripts/screenshot.sh [QT.png [WINDOWS.png]]
#        (default docs/window.png and docs/window-windows.png)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/common.sh"

"$ROOT/scripts/install-deps.sh" "${BUILD_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}"
use_virtual_display "$@"
output=$(realpath -m "${1:-$ROOT/docs/window.png}")
windows_output=$(realpath -m "${2:-$ROOT/docs/window-windows.png}")
mkdir -p "$(dirname "$output")" "$(dirname "$windows_output")"

build_program "$ROOT/build"
"$ROOT/build/bin/window_screenshot" "$output"
echo "Saved $output"

build_windows window_screenshot
start_wine
wine "$ROOT/build-windows/bin/window_screenshot.exe" "$(winepath -w "$windows_output")"
echo "Saved $windows_output"
