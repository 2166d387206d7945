// The plant's text files are Windows-1252 ("ANSI") on disk; the program works
// in UTF-8. These conversions are the only place that knows the code page, and
// the byte order marks by which a file says it is Unicode instead.
#pragma once

#include <string>
#include <string_view>

namespace zc::platform {

// Appends one character, given by its code point, as UTF-8.
void AppendUtf8(std::string& out, char32_t code);
// UTF-8 to Windows-1252; a character without a Windows-1252 form becomes "?".
std::string ToAnsi(std::string_view utf8);
// Windows-1252 to UTF-8; every byte has a character.
std::string FromAnsi(std::string_view ansi);
// How a text file is stored: Windows-1252 unless it starts with a byte order
// mark, as Windows' profile functions read it (editors save UTF-8 with one,
// Notepad's "Unicode" is UTF-16 LE).
enum class TextEncoding { kAnsi, kUtf8, kUtf16Le, kUtf16Be };
struct DecodedText {
  TextEncoding encoding = TextEncoding::kAnsi;
  std::string utf8;  // the text after its mark
};
// A file's bytes as text. Broken UTF-8 keeps its bytes; a lone UTF-16
// surrogate or a last odd byte becomes U+FFFD.
DecodedText DecodeText(std::string_view bytes);
// Text as a file of `encoding` stores it, led by its mark (Windows-1252 has
// none). DecodeText gives back every text that EncodeText makes, and
// EncodeText gives back the bytes of every file that DecodeText read, but
// for broken UTF-16.
std::string EncodeText(std::string_view utf8, TextEncoding encoding);
// The first `count` characters of a UTF-8 text.
std::string_view FirstCharacters(std::string_view utf8, size_t count);

// Upper case as the ANSI code page knows it: "straße" -> "STRAßE", "é" -> "É".
std::string UpperCase(std::string_view utf8);
// Texts compared without regard to case: ordered as their UpperCase forms
// order byte by byte. The program's one such comparison, of names and of
// the texts in its databases alike.
int CompareIgnoringCase(std::string_view a, std::string_view b);
inline bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareIgnoringCase(a, b) == 0;
}
// Where `search` first stands in `text`, letters compared without regard to
// case as UpperCase folds them; npos when it does not.
size_t FindIgnoringCase(std::string_view text, std::string_view search);

}  // namespace zc::platform
