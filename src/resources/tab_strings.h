// TTabStrings: the fields of one line split at a delimiter byte (TAB by default), CP932-aware
// so a trail byte equal to the delimiter never splits a character.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorn {

class TTabStrings {
 public:
  explicit TTabStrings(char delimiter = '\t') : delimiter_(delimiter) {}

  char Delimiter() const { return delimiter_; }
  void SetDelimiter(char d) { delimiter_ = d; }

  // Clears the list and fills it from line. A delimiter ends a field (an empty field is kept);
  // a trailing delimiter adds no final empty field; an empty line gives no fields.
  void SplitTabs(std::string_view line);
  int Count() const { return static_cast<int>(fields_.size()); }
  // The field, or "" when i is outside 0..Count-1.
  std::string Get(int i) const;
  const std::vector<std::string>& Fields() const { return fields_; }
  void Clear() { fields_.clear(); }

 private:
  char delimiter_;
  std::vector<std::string> fields_;
};

}  // namespace vorn
