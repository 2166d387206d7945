#include "jet/page_file.h"

namespace zc::jet {
namespace {

[[noreturn]] void IoFailure(const std::string& what) { throw Error(ErrorKind::kIo, what); }

}  // namespace

PageFile::PageFile(const std::string& path, bool writable) {
  if (!file_.Open(path, writable)) {
    IoFailure(writable ? "it cannot be opened for writing" : "it cannot be read");
  }
  std::uint8_t head[0x15] = {};
  const bool read = file_.ReadAt(0, head, sizeof head);
  switch (KindOfHeader(read ? Bytes(head) : Bytes())) {
    case FileKind::kJet3:
      format_ = &Jet3Format();
      break;
    case FileKind::kJet4:
      format_ = &Jet4Format();
      break;
    case FileKind::kAce:
      Unsupported(
          "it is an Access 2007 or later (.accdb format) database; save it in the Access 2000 "
          "(.mdb) format first");
    case FileKind::kOther:
      Unsupported("it is not an Access (Jet) database");
  }
  const std::optional<std::uint64_t> size = file_.Size();
  if (!size) IoFailure("its size cannot be read");
  if (*size % format_->page_size != 0 || *size < 3 * format_->page_size) {
    Damaged("its length is not whole pages");
  }
  page_count_ = static_cast<std::uint32_t>(*size / format_->page_size);
}

Blob PageFile::Read(std::uint32_t page) {
  if (page >= page_count_)
    Damaged("a reference to page " + std::to_string(page) + " beyond its end");
  Blob bytes(format_->page_size);
  if (!file_.ReadAt(std::uint64_t{page} * bytes.size(), bytes.data(), bytes.size())) {
    IoFailure("page " + std::to_string(page) + " cannot be read");
  }
  return bytes;
}

void PageFile::Write(std::uint32_t page, const Blob& bytes) {
  if (bytes.size() != format_->page_size) throw std::logic_error("a page of the wrong size");
  // Pages handed out but not yet written stay zero until they are.
  while (page > page_count_) Write(page_count_, Blob(format_->page_size, 0));
  if (!file_.WriteAt(std::uint64_t{page} * bytes.size(), bytes.data(), bytes.size())) {
    IoFailure("page " + std::to_string(page) + " cannot be written");
  }
  if (page == page_count_) ++page_count_;
}

}  // namespace zc::jet
