// A small INI reader/writer for game.ini: [Section] headers, Key=Value entries, ';' and '#'
// comments. Names compare case-insensitively; values are bytes (CP932 in practice). Writing
// keeps every section, key and comment it did not change, in their order.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

class IniFile {
 public:
  // Parses text. Raises EVornError "<name> line N: <problem>" for a line that is neither a
  // section header, an entry, a comment nor blank.
  static IniFile Parse(std::string_view text, const std::string& name);
  // Reads and parses a file; a missing file gives an empty IniFile. Raises EVornError when
  // the file exists but cannot be read or is malformed.
  static IniFile Load(const std::string& path);

  std::optional<std::string> Read(std::string_view section, std::string_view key) const;
  // Decimal (optionally signed) or hexadecimal ("$1F", "0x1F"); anything else, an overflow
  // of 32 bits or a missing key gives fallback.
  int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
  // An integer, non-zero meaning true; "true"/"false"/"yes"/"no" are accepted as well.
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

  // Replaces the value of an existing key in place, or appends the key to its section
  // (appending the section when it is new).
  void Write(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  // The file's text; line ends as the parsed text had them (CRLF for a new file).
  std::string Serialize() const;
  // Writes Serialize() atomically (temporary file, flush, rename).
  void Save(const std::string& path) const;

 private:
  struct Line {
    std::string raw;    // the line as read (comments and blank lines) or as last written
    std::string key;    // empty for comments and blank lines
    std::string value;
  };
  struct Section {
    std::string name;   // as written in its header; the first section may have none
    bool hasHeader = true;
    std::vector<Line> lines;
  };

  const Line* Find(std::string_view section, std::string_view key) const;

  std::vector<Section> sections_;
  std::string newline_ = "\r\n";
};

// Parses an integer as ReadInteger does; nullopt when the text is not one.
std::optional<int> ParseIniInteger(std::string_view text);

}  // namespace vorn
