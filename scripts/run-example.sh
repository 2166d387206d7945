#!/usr/bin/env bash
# Builds the program and runs it on the bundled example project, copied into
# a scratch folder so that the repository stays as it is.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/common.sh"

"$ROOT/scripts/install-deps.sh" "${BUILD_PACKAGES[@]}"
build_program "$ROOT/build"

project=${1:-$(mktemp -d /tmp/zantel-example.XXXXXX)}
cp -r "$ROOT/examples/project/." "$project/"
mkdir -p "$project/Zantel_Config"
cp "$ROOT/build/bin/Zantel_Config" "$project/Zantel_Config/"

echo "Example project: $project"
TOLVA_SERVICEPACK_LOG="$project/TolvaServicePack.log" \
  "$project/Zantel_Config/Zantel_Config" /EXTERNAL=SILENT
