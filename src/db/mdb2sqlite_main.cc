// mdb2sqlite IN OUT: converts an Access (Jet) .mdb file by hand into the
// SQLite form the program uses, and lists what it wrote.
#include <iostream>

#include "db/jet_import.h"
#include "errors/failure.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "Usage: mdb2sqlite IN OUT\n"
                 "Converts the Access (Jet 3 / Jet 4) database IN into a new SQLite database "
                 "OUT.\n";
    return 2;
  }
  try {
    for (const auto& table : zc::db::ConvertJetToSqlite(argv[1], argv[2])) {
      std::cout << table.name << ": " << table.rows << (table.rows == 1 ? " row\n" : " rows\n");
    }
  } catch (const zc::Failure& failure) {
    std::cerr << "mdb2sqlite: " << failure.description << " (error " << failure.number << ")\n";
    return 1;
  } catch (const std::exception& error) {
    std::cerr << "mdb2sqlite: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
