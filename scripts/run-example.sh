#!/usr/bin/env bash
# Builds the program and runs it silently on the bundled example project,
# copied into a scratch folder so that the repository stays as it is; then
# shows what the run made.
#   scripts/run-example.sh [PROJECT_FOLDER]
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/common.sh"

"$ROOT/scripts/install-deps.sh" "${BUILD_PACKAGES[@]}"
build_program "$ROOT/build" >/dev/null

project=${1:-$(mktemp -d /tmp/zantel-example.XXXXXX)}
make_example_project "$project"
# The program with its language file, as the Windows package ships them.
cp "$ROOT/build/bin/Zantel_Config" "$ROOT/build/bin/Zantel_Config.ini" "$project/Zantel_Config/"

export TOLVA_SERVICEPACK_LOG="$project/TolvaServicePack.log"
status=0
"$project/Zantel_Config/Zantel_Config" /EXTERNAL=SILENT || status=$?

echo "Example project: $project (exit status $status)"
echo
cat "$project/Zantel/Zantel_Report.txt" | tr -d '\r'
echo
echo "First generated rows of PRESET_DEFS in $project/Zantel/Zantel.mdb:"
sqlite3 -header -column "$project/Zantel/Zantel.mdb" \
  "SELECT ID, machine_type, var_name, offset_or_bitno AS offset, abs_min, abs_max, min, max, pass
   FROM PRESET_DEFS ORDER BY ID LIMIT 8"
echo
echo "Edit stamp in Zantel/Zantel.cfg:"
grep -A2 '^\[Info\]' "$project/Zantel/Zantel.cfg" | tr -d '\r'
echo
echo "Error log:        $project/R7Qcfglog.txt $( [ -s "$project/R7Qcfglog.txt" ] || echo '(empty: nothing was reported)')"
echo "Service-pack log: $TOLVA_SERVICEPACK_LOG $( [ -s "$TOLVA_SERVICEPACK_LOG" ] || echo '(empty)')"
echo
echo "The same project with the window (needs a display):"
echo "  $project/Zantel_Config/Zantel_Config"
exit "$status"
