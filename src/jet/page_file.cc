#include "jet/page_file.h"

#include "platform/platform.h"

namespace zc::jet {
namespace {

[[noreturn]] void IoFailure(const std::string& what) { throw Error(ErrorKind::kIo, what); }

}  // namespace

PageFile::PageFile(const std::string& path, bool writable) {
  const auto mode = std::ios::binary | std::ios::in | (writable ? std::ios::out : std::ios::in);
  file_.open(platform::NativePath(path), mode);
  if (!file_) IoFailure(writable ? "it cannot be opened for writing" : "it cannot be read");
  std::uint8_t head[0x15] = {};
  file_.read(reinterpret_cast<char*>(head), sizeof head);
  switch (KindOfHeader(file_ ? Bytes(head) : Bytes())) {
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
  file_.clear();
  file_.seekg(0, std::ios::end);
  const auto size = static_cast<std::uint64_t>(file_.tellg());
  if (size % format_->page_size != 0 || size < 3 * format_->page_size) {
    Damaged("its length is not whole pages");
  }
  page_count_ = static_cast<std::uint32_t>(size / format_->page_size);
}

Blob PageFile::Read(std::uint32_t page) {
  if (page >= page_count_)
    Damaged("a reference to page " + std::to_string(page) + " beyond its end");
  Blob bytes(format_->page_size);
  file_.seekg(static_cast<std::streamoff>(page) * static_cast<std::streamoff>(bytes.size()));
  if (!file_.read(reinterpret_cast<char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()))) {
    IoFailure("page " + std::to_string(page) + " cannot be read");
  }
  return bytes;
}

void PageFile::Write(std::uint32_t page, const Blob& bytes) {
  if (bytes.size() != format_->page_size) throw std::logic_error("a page of the wrong size");
  // Pages handed out but not yet written stay zero until they are.
  while (page > page_count_) Write(page_count_, Blob(format_->page_size, 0));
  file_.seekp(static_cast<std::streamoff>(page) * static_cast<std::streamoff>(bytes.size()));
  if (!file_.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()))) {
    IoFailure("page " + std::to_string(page) + " cannot be written");
  }
  if (page == page_count_) ++page_count_;
}

void PageFile::Flush() {
  if (!file_.flush()) IoFailure("it cannot be written");
}

}  // namespace zc::jet
