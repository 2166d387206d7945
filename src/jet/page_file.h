// A Jet file as numbered pages. Reading leaves the file as it is; a writable
// file is changed in place, page by page, so the caller works on a copy and
// renames it over the original once it is complete.
#pragma once

#include <cstdint>
#include <string>

#include "jet/bytes.h"
#include "jet/format.h"
#include "platform/platform.h"

namespace zc::jet {

class PageFile {
 public:
  // Throws Error: kIo when the file cannot be opened, kUnsupported for an
  // Access 2007+ file or one that is no Jet file, kDamaged for one that is
  // not made of whole pages.
  PageFile(const std::string& path, bool writable);

  const Format& format() const { return *format_; }
  std::uint32_t page_count() const { return page_count_; }

  Blob Read(std::uint32_t page);
  // A page at or beyond page_count() makes the file grow; pages skipped on
  // the way are zero until written. Nothing is buffered: a page written is
  // in the file.
  void Write(std::uint32_t page, const Blob& bytes);

 private:
  platform::PositionalFile file_;
  const Format* format_ = nullptr;
  std::uint32_t page_count_ = 0;
};

}  // namespace zc::jet
