// The plant's text files are Windows-1252 ("ANSI") on disk; the program works
// in UTF-8. These conversions are the only place that knows the code page.
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
// The same for text that is still Windows-1252 bytes.
std::string UpperCaseAnsi(std::string_view ansi);

}  // namespace zc::platform
