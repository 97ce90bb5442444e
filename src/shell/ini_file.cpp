// INI parsing and writing.
#include "shell/ini_file.h"

#include <cstdint>

#include "platform/native.h"
#include "resources/error.h"
#include "resources/sjis_case.h"

namespace vorn {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) { return SameText(a, b); }

}  // namespace

std::optional<int> ParseIniInteger(std::string_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (!text.empty() && text.front() == '$') {
    base = 16;
    text.remove_prefix(1);
  } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  int64_t value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return std::nullopt;
    value = value * base + digit;
    if (value > (int64_t{1} << 32)) return std::nullopt;
  }
  if (negative) value = -value;
  // Hexadecimal may spell a negative number through its 32-bit pattern ($FFFFFFFF = -1).
  if (base == 16 && !negative && value > INT32_MAX && value <= UINT32_MAX)
    value = static_cast<int32_t>(static_cast<uint32_t>(value));
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int>(value);
}

IniFile IniFile::Parse(std::string_view text, const std::string& name) {
  IniFile ini;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  ini.newline_ = (text.find("\r\n") != std::string_view::npos || text.find('\n') == std::string_view::npos)
                     ? "\r\n" : "\n";
  ini.sections_.push_back(Section{"", false, {}});
  // Split into lines; a final line end does not start another line.
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view raw = lines[i];
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    const std::string_view line = Trim(raw);
    auto fail = [&](const std::string& problem) {
      throw EVornError(name + " line " + std::to_string(i + 1) + ": " + problem);
    };
    if (line.empty() || line.front() == ';' || line.front() == '#') {
      ini.sections_.back().lines.push_back(Line{std::string(raw), "", ""});
    } else if (line.front() == '[') {
      if (line.back() != ']') fail("section header without a closing ']'");
      const std::string_view section = Trim(line.substr(1, line.size() - 2));
      if (section.empty()) fail("empty section name");
      ini.sections_.push_back(Section{std::string(section), true, {}});
    } else {
      const size_t eq = line.find('=');
      if (eq == std::string_view::npos)
        fail("expected [Section] or Key=Value, found \"" + std::string(line) + "\"");
      const std::string_view key = Trim(line.substr(0, eq));
      if (key.empty()) fail("an entry without a key name");
      ini.sections_.back().lines.push_back(
          Line{std::string(raw), std::string(key), std::string(Trim(line.substr(eq + 1)))});
    }
  }
  return ini;
}

IniFile IniFile::Load(const std::string& path) {
  const std::optional<std::vector<uint8_t>> data = ReadWholeFile(path);
  if (!data) return Parse("", path);
  return Parse(std::string_view(reinterpret_cast<const char*>(data->data()), data->size()), path);
}

const IniFile::Line* IniFile::Find(std::string_view section, std::string_view key) const {
  // Like the Windows profile functions, the first matching section and key win.
  for (const Section& s : sections_) {
    if (!s.hasHeader || !SameName(s.name, section)) continue;
    for (const Line& line : s.lines)
      if (!line.key.empty() && SameName(line.key, key)) return &line;
  }
  return nullptr;
}

std::optional<std::string> IniFile::Read(std::string_view section, std::string_view key) const {
  const Line* line = Find(section, key);
  if (!line) return std::nullopt;
  return line->value;
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
  const std::optional<std::string> value = Read(section, key);
  if (!value) return fallback;
  return ParseIniInteger(*value).value_or(fallback);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  const std::optional<std::string> value = Read(section, key);
  if (!value) return fallback;
  if (const std::optional<int> number = ParseIniInteger(*value)) return *number != 0;
  if (SameName(*value, "true") || SameName(*value, "yes")) return true;
  if (SameName(*value, "false") || SameName(*value, "no")) return false;
  return fallback;
}

void IniFile::Write(std::string_view section, std::string_view key, std::string_view value) {
  const std::string raw = std::string(key) + "=" + std::string(value);
  for (Section& s : sections_) {
    if (!s.hasHeader || !SameName(s.name, section)) continue;
    for (Line& line : s.lines) {
      if (!line.key.empty() && SameName(line.key, key)) {
        line.value = value;
        line.raw = std::string(line.key) + "=" + std::string(value);
        return;
      }
    }
  }
  for (Section& s : sections_) {
    if (!s.hasHeader || !SameName(s.name, section)) continue;
    // After the section's last entry, so trailing blank lines stay between sections.
    size_t at = s.lines.size();
    while (at > 0 && s.lines[at - 1].key.empty() && Trim(s.lines[at - 1].raw).empty()) --at;
    s.lines.insert(s.lines.begin() + static_cast<ptrdiff_t>(at), Line{raw, std::string(key), std::string(value)});
    return;
  }
  sections_.push_back(Section{std::string(section), true, {Line{raw, std::string(key), std::string(value)}}});
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  Write(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  Write(section, key, value ? "1" : "0");
}

std::string IniFile::Serialize() const {
  std::string out;
  for (const Section& s : sections_) {
    if (s.hasHeader) out += "[" + s.name + "]" + newline_;
    for (const Line& line : s.lines) out += line.raw + newline_;
  }
  return out;
}

void IniFile::Save(const std::string& path) const {
  const std::string text = Serialize();
  WriteFileAtomic(path, text.data(), text.size());
}

}  // namespace vorn
