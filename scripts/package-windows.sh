#!/usr/bin/env bash
# Builds the package a plant installs, dist/Zantel_Config-<version>-win64.zip:
# the folder Zantel_Config with the program (statically linked, no DLLs beside
# it), its language file and the instructions (LIESMICH.txt, README.txt).
# Then checks that the program imports system DLLs only and that it runs the
# example project silently under wine. Usage: scripts/package-windows.sh
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/common.sh"

"$ROOT/scripts/install-deps.sh" "${WINDOWS_PACKAGES[@]}" sqlite3
build_windows Zantel_Config
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$ROOT/build-windows/CMakeCache.txt")
name="Zantel_Config-$version-win64"
stage="$ROOT/build-windows/package"
rm -rf "$stage"
mkdir -p "$stage/Zantel_Config" "$ROOT/dist"

folder="$stage/Zantel_Config"
x86_64-w64-mingw32-strip -o "$folder/Zantel_Config.exe" "$ROOT/build-windows/bin/Zantel_Config.exe"
cp "$ROOT/src/texts/Zantel_Config.ini" "$folder/"
# Windows-1252 with CR LF, as Notepad on any Windows reads them.
for text in LIESMICH.txt README.txt; do
  iconv -f UTF-8 -t WINDOWS-1252 "$ROOT/packaging/windows/$text" | sed 's/$/\r/' > "$folder/$text"
done

# Only DLLs that every Windows has: a runtime DLL here would be missing at a plant.
imports=$(x86_64-w64-mingw32-objdump -p "$folder/Zantel_Config.exe" | sed -n 's/^\s*DLL Name: //p')
for dll in $imports; do
  case "${dll,,}" in
    kernel32.dll | user32.dll | gdi32.dll | comctl32.dll | version.dll | msvcrt.dll | advapi32.dll) ;;
    *) echo "Zantel_Config.exe imports $dll, which Windows does not bring" >&2; exit 1 ;;
  esac
done

rm -f "$ROOT/dist/$name.zip"
(cd "$stage" && cmake -E tar cf "$ROOT/dist/$name.zip" --format=zip Zantel_Config)

# The packed program on the example project, as a service pack would start it.
start_wine
project=$(mktemp -d /tmp/zantel-package.XXXXXX)
trap 'wineserver -k || true; rm -rf "$project"' EXIT
make_example_project "$project"
(cd "$project" && cmake -E tar xf "$ROOT/dist/$name.zip")
status=0
TOLVA_SERVICEPACK_LOG="$(winepath -w "$project/TolvaServicePack.log")" \
  wine "$project/Zantel_Config/Zantel_Config.exe" /EXTERNAL=SILENT </dev/null || status=$?
rows=$(sqlite3 "$project/Zantel/Zantel.mdb" "SELECT COUNT(*) FROM PRESET_DEFS")
if [ "$status" -ne 0 ] || [ "$rows" -eq 0 ]; then
  echo "The packed program failed on the example project (exit status $status, $rows rows)" >&2
  exit 1
fi
echo "Built dist/$name.zip (imports: $(echo $imports)); the example project ran: $rows rows"
