// The language file beside the program: which language the window speaks,
// and the captions, tool tips and help texts of its controls. Every load
// writes the entries that are still missing, so the file grows into a full
// list of what a translator has to fill in. Those writes are a help, not the
// program's work: a read-only file or folder refuses them without a report.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "errors/run.h"
#include "texts/controls.h"

namespace zc::texts {

// The help texts by help number 1..100; place 0 is never filled.
using HelpTextTable = std::array<std::string, 101>;

inline constexpr char kDefaultLanguage[] = "1031";

// <program folder>/<executable name>.ini
std::string LanguageFilePath(const Run& run);

// The chosen language as a locale identifier in decimal text; a missing or
// empty choice is set to "1031".
std::string GetLanguage(Run& run);

// Puts every control's caption and tool tip of the chosen language in place
// and fills HelpTexts. A control whose texts cannot be handled keeps what it
// got so far and the next control follows, without a report. A failure while
// telling array members apart is raised to the caller. Where the language
// file is missing and could not be written, the shipped texts are used.
void LoadToolTipTexts(Run& run, std::vector<Control>& controls, HelpTextTable& HelpTexts);

// The language file as the program ships it (Windows-1252), compiled in.
std::string_view ShippedLanguageFile();

// True when another control, at another position, has the same Name. The
// search counts positions in 16 bits: a list of more than 32767 controls is
// an overflow failure.
bool IsControlArrayMember(const std::vector<Control>& controls, size_t position);

// Name, then the Index of an array member, then "_" and the Tag.
std::string KeySuffix(const Control& control, bool array_member);

}  // namespace zc::texts
