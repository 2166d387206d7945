#include "presets/db/jet_note.h"

#include "presets/db/jet_import.h"

namespace zc::jet {

std::string ImportAccessFile(const std::string& path) {
  ImportResult result = ImportJetInPlace(path);
  std::string tables;
  for (const ImportedTable& table : result.tables) {
    tables +=
        (tables.empty() ? "" : ", ") + table.name + " (" + std::to_string(table.rows) + " rows)";
  }
  return "Imported the Access (" + result.format + ") file " + result.path + ": " + tables +
         ". The original is kept as " + result.original_copy + ".";
}

}  // namespace zc::jet
