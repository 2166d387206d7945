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
# The window's runs on Access projects leave their component databases here.
results=$(mktemp -d /tmp/zantel-window-access.XXXXXX)
ZC_ACCESS_RESULTS=$(winepath -w "$results") \
  ctest --test-dir "$ROOT/build-windows" --output-on-failure --timeout 300 -j "$(nproc)"
for start in Standalone Integrated; do
  database="$results/${start}OnAccessFiles.mdb"
  rows=$({ mdb-export "$database" PRESET_DEFS 2>/dev/null || true; } | tail -n +2 | wc -l)
  if [ "$rows" -ne 6 ]; then
    echo "access: libmdb reads $rows rows, not 6, from $(basename "$database")" >&2
    exit 1
  fi
  echo "access: libmdb reads the 6 rows the $start window run left"
done
rm -rf "$results"

# The Windows program on the example project made of Access files (written by
# the Windows sqlite2mdb), read back afterwards with libmdb's tools.
project=$(mktemp -d /tmp/zantel-access.XXXXXX)
trap 'wineserver -k || true; rm -rf "$project"' EXIT
make_example_project "$project"
for database in Zantel_Source Zantel; do
  wine "$ROOT/build-windows/bin/sqlite2mdb.exe" "$(winepath -w "$project/Zantel/$database.mdb")" \
    "$(winepath -w "$project/Zantel/$database.jet")" </dev/null >/dev/null
  mv "$project/Zantel/$database.jet" "$project/Zantel/$database.mdb"
done
cp "$ROOT/build-windows/bin/Zantel_Config.exe" "$ROOT/build-windows/bin/Zantel_Config.ini" \
  "$project/Zantel_Config/"
status=0
TOLVA_SERVICEPACK_LOG="$(winepath -w "$project/TolvaServicePack.log")" \
  wine "$project/Zantel_Config/Zantel_Config.exe" /EXTERNAL=SILENT </dev/null || status=$?
for database in Zantel_Source Zantel; do
  head -c 19 "$project/Zantel/$database.mdb" | tail -c 15 | grep -q "Standard Jet DB" || {
    echo "access: $database.mdb is no Access file any more" >&2
    exit 1
  }
done
rows=$(mdb-export "$project/Zantel/Zantel.mdb" PRESET_DEFS | tail -n +2 | wc -l)
if [ "$status" -ne 0 ] || [ "$rows" -eq 0 ] ||
  ! cmp -s <(mdb-export "$project/Zantel/Zantel.mdb" PRESET_DEFS) \
    <(mdb-export "$project/Zantel/Zantel_Source.mdb" PRESET_DEFS); then
  echo "access: the Windows program failed on Access files (exit status $status, $rows rows)" >&2
  exit 1
fi
echo "access: the Windows program left Access files; libmdb reads $rows rows of PRESET_DEFS"

