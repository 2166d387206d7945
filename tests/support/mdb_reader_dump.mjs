// Prints a table as the npm package mdb-reader reads it: one line per row,
// cells separated by \x1f, normalized so that a C++ test can compare them.
// Usage: node mdb_reader_dump.mjs NPM_PREFIX FILE TABLE
import { readFileSync } from "fs";
import { join } from "path";
import { pathToFileURL } from "url";

const [prefix, file, table] = process.argv.slice(2);
const module = join(prefix, "node_modules", "mdb-reader", "lib", "node", "index.js");
const { default: MDBReader } = await import(pathToFileURL(module).href);
const pad = (n, w = 2) => String(n).padStart(w, "0");
const cell = (value) => {
  if (value === null || value === undefined) return "<null>";
  if (typeof value === "boolean") return value ? "1" : "0";
  if (value instanceof Date) {
    const d = value;
    return `${pad(d.getUTCFullYear(), 4)}-${pad(d.getUTCMonth() + 1)}-${pad(d.getUTCDate())} ` +
      `${pad(d.getUTCHours())}:${pad(d.getUTCMinutes())}:${pad(d.getUTCSeconds())}`;
  }
  if (Buffer.isBuffer(value)) return value.toString("hex");
  return String(value);
};
const reader = new MDBReader(readFileSync(file));
for (const row of reader.getTable(table).getData({ rowLimit: Infinity })) {
  process.stdout.write(Object.values(row).map(cell).join("\x1f") + "\n");
}
