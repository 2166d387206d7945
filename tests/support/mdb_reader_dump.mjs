// Prints every table of an Access file as the npm package mdb-reader reads
// it, normalized so that a C++ test can compare it: per table its name, its
// columns ("name type size", numeric ones with precision and scale, "auto"
// for AutoNumber) and its rows; every cell ends with \x1f, every line with
// \x1e, every table with \x1d.
// Usage: node mdb_reader_dump.mjs NPM_PREFIX FILE
import { readFileSync } from "fs";
import { join } from "path";
import { pathToFileURL } from "url";

const [prefix, file] = process.argv.slice(2);
const module = join(prefix, "node_modules", "mdb-reader", "lib", "node", "index.js");
const { default: MDBReader } = await import(pathToFileURL(module).href);
const pad = (n, w = 2) => String(n).padStart(w, "0");
const cell = (value, column) => {
  if (value === null || value === undefined) return "<null>";
  if (typeof value === "boolean") return value ? "1" : "0";
  if (value instanceof Date) {
    const d = value;
    return `${pad(d.getUTCFullYear(), 4)}-${pad(d.getUTCMonth() + 1)}-${pad(d.getUTCDate())} ` +
      `${pad(d.getUTCHours())}:${pad(d.getUTCMinutes())}:${pad(d.getUTCSeconds())}`;
  }
  if (Buffer.isBuffer(value)) return value.toString("hex");
  if (column.type === "repid") return `{${value.toUpperCase()}}`;
  return String(value);
};
const column = (c) => `${c.name} ${c.type} ${c.size}` +
  (c.type === "numeric" ? ` ${c.precision},${c.scale}` : "") + (c.autoLong ? " auto" : "");
const reader = new MDBReader(readFileSync(file));
for (const name of reader.getTableNames()) {
  const table = reader.getTable(name);
  const columns = table.getColumns();
  const lines = [[name], columns.map(column)];
  for (const row of table.getData()) lines.push(columns.map((c) => cell(row[c.name], c)));
  const text = (cells) => cells.map((cell) => cell + "\x1f").join("") + "\x1e";
  process.stdout.write(lines.map(text).join("") + "\x1d");
}
