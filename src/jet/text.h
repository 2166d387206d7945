// Text as Jet keeps it: Jet 3 in the Windows-1252 code page, Jet 4 as
// UTF-16LE, optionally in the compressed form Access writes (FF FE, then one
// byte per character).
#pragma once

#include <string>

#include "jet/bytes.h"

namespace zc::jet {

// A stored value as UTF-8; the second form reuses the storage of `out`.
std::string DecodeText(Bytes bytes, bool jet4);
void DecodeText(Bytes bytes, bool jet4, std::string& out);
// A name in a table definition (never compressed).
std::string DecodeName(Bytes bytes, bool jet4);

// UTF-8 as Jet 4 stores it: compressed when every character fits one byte
// and the text is long enough to gain from it, as Access itself does.
Blob EncodeText(const std::string& utf8, bool jet4, bool may_compress);
void EncodeText(const std::string& utf8, bool jet4, bool may_compress, Blob& out);
Blob EncodeName(const std::string& utf8, bool jet4);

// Characters of UTF-8 text as Jet counts them (UTF-16 units in Jet 4).
std::size_t TextLength(const std::string& utf8, bool jet4);

}  // namespace zc::jet
