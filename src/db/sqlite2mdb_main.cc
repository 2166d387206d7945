// sqlite2mdb IN OUT: writes a SQLite database of this program as a new Access
// 2000 (Jet 4) .mdb file, so that a plant can go back to Access files.
#include <iostream>

#include "db/jet_export.h"
#include "errors/failure.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "Usage: sqlite2mdb IN OUT\n"
                 "Writes every table of the SQLite database IN into a new Access 2000 (.mdb) "
                 "database OUT.\n";
    return 2;
  }
  try {
    for (const auto& table : zc::db::ConvertSqliteToJet(argv[1], argv[2])) {
      std::cout << table.name << ": " << table.rows << (table.rows == 1 ? " row\n" : " rows\n");
    }
  } catch (const zc::Failure& failure) {
    std::cerr << "sqlite2mdb: " << failure.description << " (error " << failure.number << ")\n";
    return 1;
  }
  return 0;
}
