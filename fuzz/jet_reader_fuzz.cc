// ConvertJetToSqlite on arbitrary files; the seeds are the Jet sample files,
// so the mutations are damaged copies of real databases. A file the reader
// cannot take must fail with a zc::Failure and leave nothing behind. A file
// it can read then gets a table written into it, which either fails with a
// jet::Error or leaves a file the reader takes again.
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "db/jet_import.h"
#include "fuzz_support.h"
#include "jet/reader.h"
#include "jet/writer.h"

namespace {

namespace fs = std::filesystem;
using zc::fuzz::Violated;

std::set<std::string> FolderContents(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

std::string FileStart(const std::string& path, size_t length) {
  std::ifstream in(path, std::ios::binary);
  std::string head(length, '\0');
  in.read(head.data(), static_cast<std::streamsize>(length));
  head.resize(static_cast<size_t>(in.gcount()));
  return head;
}

// A small table with a long value written into the file, as a run would.
void WriteBack(const std::string& jet) {
  using namespace zc::jet;
  const std::vector<Field> fields = {{"ID", DataType::kLong, 4}, {"Text", DataType::kMemo, 0}};
  int rows = 0;
  try {
    ReplaceTable(jet, "PRESET_DEFS", fields, [&](std::vector<Value>& row) {
      row = {std::int64_t{rows}, std::string(rows * 1500, 'x')};
      return rows++ < 4;
    });
  } catch (const Error&) {
    return;
  }
  try {
    Reader reader(jet);
    for (std::size_t i = 0; i < reader.tables().size(); ++i) reader.ReadRows(i, [](const auto&) {});
  } catch (const Error& error) {
    Violated("a file written without failure reads back", error.what());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string folder = zc::fuzz::ScratchFolder() + "/jet";
  const std::string jet = folder + "/Zantel_Source.mdb";
  const std::string sqlite = folder + "/Zantel.mdb";
  fs::remove_all(folder);
  fs::create_directory(folder);
  std::ofstream(jet, std::ios::binary)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

  auto failure = zc::fuzz::FailureOf([&] { zc::db::ConvertJetToSqlite(jet, sqlite); });
  if (failure) {
    if (FolderContents(folder) != std::set<std::string>{"Zantel_Source.mdb"}) {
      Violated("a failed conversion leaves nothing behind", failure->description);
    }
  } else if (FileStart(sqlite, 16) != std::string("SQLite format 3\0", 16)) {
    Violated("a conversion that succeeds leaves a SQLite file");
  } else {
    WriteBack(jet);
  }
  return 0;
}
