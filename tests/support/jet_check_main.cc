// jet_check FILE TABLE: what is wrong with an Access file's page maps, and
// whether TABLE is found through the catalog's index.
#include <iostream>

#include "jet/catalog_writer.h"
#include "support/db_builder.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::vector<std::string> problems = zc::testing::PageMapProblems(argv[1]);
  for (const std::string& problem : problems) std::cout << "page maps: " << problem << "\n";
  zc::jet::PageFile file(argv[1], false);
  const bool found = zc::jet::CatalogIndexFinds(file, argv[2]);
  std::cout << "page maps: " << (problems.empty() ? "every page claimed once" : "FAILED") << "\n"
            << argv[2] << " found through the catalog's index: " << (found ? "yes" : "NO") << "\n";
  return problems.empty() && found ? 0 : 1;
}
