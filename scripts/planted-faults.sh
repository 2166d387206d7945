#!/usr/bin/env bash
# Plants each small fault of scripts/planted-faults.txt in turn, rebuilds, runs
# the Linux suite and says which faults it caught. The tree is put back after
# every fault, and when the script is stopped. It works on the source tree it
# lies in: run it in a clone of its own when other work goes on there.
# Usage: scripts/planted-faults.sh [BUILD_DIR]   (default build-faults/)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/common.sh"
BUILD=${1:-$ROOT/build-faults}
LIST="$ROOT/scripts/planted-faults.txt"

"$ROOT/scripts/install-deps.sh" "${BUILD_PACKAGES[@]}" python3
install_mdb_reader
# No debug information: every fault relinks the test binaries.
build_program "$BUILD" -DCMAKE_BUILD_TYPE=Release -DZC_NPM_PREFIX="$NPM_PREFIX" >/dev/null
suite() { ctest --test-dir "$BUILD" -j "$(nproc)" --timeout 300 --stop-on-failure >/dev/null 2>&1; }
suite || { echo "The suite fails without a planted fault: nothing to measure." >&2; exit 1; }

# plant FILE FROM TO: replaces the one place of FROM ("\n" a line break) by TO.
plant() {
  python3 - "$@" <<'PY'
import sys
path, old, new = sys.argv[1], sys.argv[2].replace("\\n", "\n"), sys.argv[3].replace("\\n", "\n")
text = open(path, encoding="utf-8").read()
if text.count(old) != 1:
    sys.exit(f"{path}: the fault's text stands {text.count(old)} times, not once")
open(path, "w", encoding="utf-8").write(text.replace(old, new))
PY
}

saved=""
restore() { [ -n "$saved" ] && cp "$saved" "$ROOT/$file" && rm -f "$saved"; saved=""; }
trap restore EXIT

caught=0 planted=0 n=0
while IFS=$'\t' read -r -u 3 file from to; do
  [[ -z "$file" || "$file" == \#* ]] && continue
  n=$((n + 1))
  saved=$(mktemp)
  cp "$ROOT/$file" "$saved"
  plant "$ROOT/$file" "$from" "$to"
  if ! cmake --build "$BUILD" -j "$(nproc)" >/dev/null 2>&1; then
    echo "$n not built  $file: $from"
  elif suite; then
    planted=$((planted + 1))
    echo "$n MISSED     $file: $from"
  else
    planted=$((planted + 1)) caught=$((caught + 1))
    echo "$n caught     $file: $from"
  fi
  restore
done 3< "$LIST"
cmake --build "$BUILD" -j "$(nproc)" >/dev/null
echo "Caught $caught of $planted planted faults."
