// Field splitting for table files and script arguments.
#include "tab_strings.h"

#include "sjis_case.h"

namespace vorn {

void TTabStrings::SplitTabs(std::string_view line) {
  fields_.clear();
  size_t start = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == delimiter_) {
      fields_.emplace_back(line.substr(start, i - start));
      start = i + 1;
    } else if (IsLeadByte(static_cast<uint8_t>(line[i])) && i + 1 < line.size()) {
      ++i;
    }
  }
  if (start < line.size()) fields_.emplace_back(line.substr(start));
}

std::string TTabStrings::Get(int i) const {
  if (i < 0 || i >= Count()) return {};
  return fields_[static_cast<size_t>(i)];
}

}  // namespace vorn
