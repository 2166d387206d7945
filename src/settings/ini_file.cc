#include "settings/ini_file.h"

#include <vector>

#include "platform/ansi_text.h"

namespace zc::settings {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view text) {
  auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  auto last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && platform::UpperCase(a) == platform::UpperCase(b);
}

// One line of the file: [begin, end) is its text, [end, next) its line break.
struct Line {
  size_t begin, end, next;
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  for (size_t begin = 0; begin < text.size();) {
    size_t newline = text.find('\n', begin);
    size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
    size_t end = newline == std::string_view::npos ? text.size() : newline;
    if (end > begin && text[end - 1] == '\r') --end;
    lines.push_back({begin, end, next});
    begin = next;
  }
  return lines;
}

std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  line.remove_prefix(1);
  return Trim(line.substr(0, line.find(']')));
}

struct Entry {
  std::string_view key;
  size_t value_offset;  // within the line, just after "="
};

std::optional<Entry> EntryOf(std::string_view line) {
  std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') return std::nullopt;
  auto equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return Entry{Trim(line.substr(0, equals)), equals + 1};
}

// Where a section's lines are: [first_line, end_line) after its header.
struct SectionSpan {
  size_t header, end_line;
};

std::optional<SectionSpan> FindSection(std::string_view text, const std::vector<Line>& lines,
                                       std::string_view section) {
  for (size_t i = 0; i < lines.size(); ++i) {
    auto name = SectionName(text.substr(lines[i].begin, lines[i].end - lines[i].begin));
    if (!name || !SameName(*name, section)) continue;
    size_t end = i + 1;
    while (end < lines.size() &&
           !SectionName(text.substr(lines[end].begin, lines[end].end - lines[end].begin))) {
      ++end;
    }
    return SectionSpan{i, end};
  }
  return std::nullopt;
}

std::string_view LineText(std::string_view text, const Line& line) {
  return text.substr(line.begin, line.end - line.begin);
}

std::string_view LineBreakOf(std::string_view text) {
  if (text.find("\r\n") != std::string_view::npos) return "\r\n";
  if (text.find('\n') != std::string_view::npos) return "\n";
  return "\r\n";
}

// What ends the text's last line before another is added. A final CR reads as
// a line break already, so it only gets its LF: a whole break would leave the
// CR inside the line and change how it reads.
std::string_view BreakAtEnd(std::string_view text, std::string_view line_break) {
  if (text.empty() || text.back() == '\n') return "";
  return text.back() == '\r' ? "\n" : line_break;
}

std::string_view ValueOf(std::string_view line, const Entry& entry) {
  std::string_view value = Trim(line.substr(entry.value_offset));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

IniIndex::IniIndex(std::string_view text) {
  std::vector<Line> lines = SplitLines(text);
  std::unordered_map<std::string, std::string>* section = nullptr;
  for (const Line& line : lines) {
    std::string_view content = LineText(text, line);
    if (auto name = SectionName(content)) {
      // Only the first section of a name counts; entries of a later one are passed over.
      auto [it, added] = sections_.try_emplace(platform::UpperCase(*name));
      section = added ? &it->second : nullptr;
      continue;
    }
    auto entry = EntryOf(content);
    if (section == nullptr || !entry) continue;
    section->try_emplace(platform::UpperCase(entry->key), ValueOf(content, *entry));
  }
}

std::optional<std::string> IniIndex::Find(std::string_view section, std::string_view entry) const {
  auto found_section = sections_.find(platform::UpperCase(section));
  if (found_section == sections_.end()) return std::nullopt;
  auto found = found_section->second.find(platform::UpperCase(entry));
  if (found == found_section->second.end()) return std::nullopt;
  return found->second;
}

std::string SetIniValue(std::string_view text, std::string_view section, std::string_view entry,
                        std::string_view value) {
  std::string_view line_break = LineBreakOf(text);
  std::vector<Line> lines = SplitLines(text);
  std::string out(text);
  auto span = FindSection(text, lines, section);
  if (!span) {
    out += BreakAtEnd(text, line_break);
    if (!out.empty()) out += line_break;
    return out.append("[")
        .append(section)
        .append("]")
        .append(line_break)
        .append(entry)
        .append("=")
        .append(value)
        .append(line_break);
  }
  size_t last_filled = span->header;
  for (size_t i = span->header + 1; i < span->end_line; ++i) {
    std::string_view line = LineText(text, lines[i]);
    if (!Trim(line).empty()) last_filled = i;
    auto found = EntryOf(line);
    if (!found || !SameName(found->key, entry)) continue;
    size_t value_begin = lines[i].begin + found->value_offset;
    while (value_begin < lines[i].end && (out[value_begin] == ' ' || out[value_begin] == '\t')) {
      ++value_begin;
    }
    return out.replace(value_begin, lines[i].end - value_begin, value);
  }
  const Line& after = lines[last_filled];
  std::string added(BreakAtEnd(text.substr(0, after.next), line_break));
  added.append(entry).append("=").append(value).append(line_break);
  return out.insert(after.next, added);
}

}  // namespace zc::settings
