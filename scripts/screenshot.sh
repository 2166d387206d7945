#!/usr/bin/env bash
# Builds the program and saves a picture of its window, drawn on a virtual X
# display. Usage: scripts/screenshot.sh [OUTPUT.png]   (default docs/window.png)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/common.sh"

"$ROOT/scripts/install-deps.sh" "${BUILD_PACKAGES[@]}"
build_program "$ROOT/build"

output=${1:-$ROOT/docs/window.png}
mkdir -p "$(dirname "$output")"
xvfb-run -a "$ROOT/build/bin/window_screenshot" "$output"
echo "Saved $output"
