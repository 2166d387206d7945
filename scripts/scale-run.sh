#!/usr/bin/env bash
# The program's whole silent run on a large project kept as SQLite files and
# the same project kept as Access (Jet 4) files, runs interleaved; then what
# the last Access run wrote, read back by libmdb and mdb-reader and checked
# page by page. Prints each run's time and peak memory (GNU time), the
# median of the Access/SQLite time ratios and the read-back figures.
#   scripts/scale-run.sh [MACHINES [TEMPLATE_ROWS [EARLIER_ROWS [RUNS]]]]
# (default 50 x 20,000 template rows, 1,000,000 earlier rows, 5 runs each)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/common.sh"
machines=${1:-50} template_rows=${2:-20000} earlier_rows=${3:-1000000} runs=${4:-5}

install_mdb_reader
build_program "$ROOT/build" -DZC_NPM_PREFIX="$NPM_PREFIX" >/dev/null
bin="$ROOT/build/bin"
work=$(mktemp -d /tmp/zantel-scale.XXXXXX)
trap 'rm -rf "$work"' EXIT

# The template's fields (see tests/support/db_builder.cc, PresetColumns) and A, B.
fields='"ID" LONG, "part" SHORT, "machine_type" TEXT(50), "type" TEXT(20),
  "var_name" TEXT(255), "category_id" LONG, "isBitArray" BIT, "offset_or_bitno" LONG,
  "text" TEXT(255), "page_name" TEXT(50), "abs_min" DOUBLE, "abs_max" DOUBLE, "min" DOUBLE,
  "max" DOUBLE, "pass" SHORT, "A" TEXT(50), "B" TEXT(50)'
numbers="WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 <"

make_project() {  # DIR: the project with SQLite databases
  local dir=$1
  mkdir -p "$dir/Zantel" "$dir/parameter" "$dir/Zantel_Config"
  cp "$bin/Zantel_Config" "$bin/Zantel_Config.ini" "$dir/Zantel_Config/"
  printf '[Common]\r\nSaveAndRestore=\r\n' >"$dir/parameter/r7qconfiguration.ini"
  {
    printf '[Project]\r\nNumberOfMachines=%d\r\nVWStudio=false\r\n' "$machines"
    for m in $(seq 1 "$machines"); do printf '[Machine%d]\r\nMachineName=Machine%d\r\n' "$m" "$m"; done
  } >"$dir/parameter/Program.ini"
  {
    printf '[Project]\r\nValidMachines=ALL\r\nDataBaseAdditionalFields=A,B\r\n'
    for m in $(seq 1 "$machines"); do printf 'ForMachine%d=true\r\n' "$m"; done
  } >"$dir/Zantel/Zantel.cfg"
  sqlite3 "$dir/Zantel/Zantel_Source.mdb" <<SQL
CREATE TABLE "Source_DEFS" ("System" TEXT(20), "Var_Name" TEXT(255), "Part" SHORT);
INSERT INTO "Source_DEFS" VALUES ('VISIWIN32', '###machine.###Var_Name', 1),
  ('VISIWINSTUDIO', 'Ch1.###machine.###Var_Name', 1);
CREATE TABLE "Source_PRESET_DEFS" ($fields);
$numbers $template_rows)
INSERT INTO "Source_PRESET_DEFS" SELECT i + 1, 1, '###machine', 'REAL', 'Var_' || i, i % 7, 0,
  i % 64, 'Value ' || i || ' of ###machine', 'Page', 0, 100, 10, 90, 0, 'a', 'b' FROM n;
CREATE TABLE "PRESET_DEFS" ("ID" LONG);
SQL
  sqlite3 "$dir/Zantel/Zantel.mdb" <<SQL
CREATE TABLE "PRESET_DEFS" ($fields);
$numbers $earlier_rows), e(m, i) AS (SELECT i / $template_rows % $machines, i % $template_rows FROM n)
INSERT INTO "PRESET_DEFS" SELECT i + 1, 1, 'Machine' || (m + 1), 'REAL',
  'Machine' || (m + 1) || '.Var_' || i, i % 7, 0, i % 64, 'Value ' || i || ' of Machine' || (m + 1),
  'Page', (m * 7 + i) % 1000, (m * 7 + i + 1) % 1000, (m * 7 + i + 2) % 1000,
  (m * 7 + i + 3) % 1000, (m * 7 + i + 4) % 1000, 'a', 'b' FROM e;
SQL
}

make_project "$work/sqlite"
cp -r "$work/sqlite" "$work/access"
for db in Zantel_Source Zantel; do
  rm "$work/access/Zantel/$db.mdb"
  "$bin/sqlite2mdb" "$work/sqlite/Zantel/$db.mdb" "$work/access/Zantel/$db.mdb" >/dev/null
done

run() {  # KIND: one whole run on a fresh copy; prints "seconds peak_kib"
  rm -rf "$work/run" && cp -r "$work/$1" "$work/run"
  TOLVA_SERVICEPACK_LOG="$work/run/sp.log" /usr/bin/time -f '%e %M' -o "$work/time" \
    "$work/run/Zantel_Config/Zantel_Config" /EXTERNAL=SILENT || { echo "run failed ($1)"; exit 1; }
  cat "$work/time"
}

echo "project: $machines machines x $template_rows template rows, $earlier_rows earlier rows"
ratios=()
for r in $(seq 1 "$runs"); do
  read -r s_time s_kib < <(run sqlite)
  read -r a_time a_kib < <(run access)
  ratio=$(awk -v a="$a_time" -v s="$s_time" 'BEGIN { printf "%.3f", a / s }')
  ratios+=("$ratio")
  printf 'run %d: SQLite %6.2f s %5d MiB | Access %6.2f s %5d MiB | ratio %s\n' \
    "$r" "$s_time" $((s_kib / 1024)) "$a_time" $((a_kib / 1024)) "$ratio"
done
printf '%s\n' "${ratios[@]}" | sort -n | awk '{ v[NR] = $1 } END {
  m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "median ratio: %.2f\n", m }'

# What the last Access run wrote, as the two other readers see it.
mdb="$work/run/Zantel/Zantel.mdb"
rows=$((machines * template_rows))
count=$(mdb-count "$mdb" PRESET_DEFS)
# The last row: its names, and the five values carried over from the earlier table.
last="$rows,\"Machine$machines.Var_$((template_rows - 1))\""
for k in 0 1 2 3 4; do last+=",$(( ((machines - 1) * 7 + template_rows - 1 + k) % 1000 ))"; done
libmdb_last=$(mdb-export -H "$mdb" PRESET_DEFS | tail -n 1 | cut -d, -f1,5,11-15)
reader=$(node -e '
  const [prefix, file] = process.argv.slice(1);
  import(require("path").join(prefix, "node_modules/mdb-reader/lib/node/index.js")).then((m) => {
    const table = new m.default(require("fs").readFileSync(file)).getTable("PRESET_DEFS");
    const rows = table.getData({ rowOffset: table.rowCount - 1 });
    const r = rows[rows.length - 1];
    console.log(table.rowCount, [r.ID, `"${r.var_name}"`, r.abs_min, r.abs_max, r.min, r.max, r.pass].join(","));
  });' "$NPM_PREFIX" "$mdb")
echo "read back: libmdb $count rows, last \"$libmdb_last\"; mdb-reader ${reader%% *} rows, last \"${reader#* }\""
[ "$count" = "$rows" ] && [ "${reader%% *}" = "$rows" ] && [ "$libmdb_last" = "$last" ] &&
  [ "${reader#* }" = "$last" ] || { echo "read back: FAILED (expected $rows rows, last \"$last\")"; exit 1; }
"$bin/jet_check" "$mdb" PRESET_DEFS
