// TArrayString and its stream form.
#include "array_string.h"

#include "binary_reader.h"
#include "error.h"

namespace vorn {

const std::string& TArrayString::Get(int i) const {
  if (i < 0 || i >= Count()) throw EVornError("List index out of bounds (" + std::to_string(i) + ")");
  return items_[static_cast<size_t>(i)];
}

void TArrayString::Set(int i, std::string s) {
  if (i < 0 || i >= Count()) throw EVornError("List index out of bounds (" + std::to_string(i) + ")");
  items_[static_cast<size_t>(i)] = std::move(s);
}

void TArrayString::SaveToStream(BinaryWriter& w) const {
  w.I32(Count());
  for (const std::string& s : items_) w.CountedString(s);
}

void TArrayString::LoadFromStream(BinaryReader& r) {
  int32_t n = r.Count("string array count", 4);
  std::vector<std::string> items;
  items.reserve(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) items.push_back(r.CountedString("string array element"));
  items_ = std::move(items);
}

}  // namespace vorn
