// TArrayString: a growable array of strings with its stream form (int32 count, then per string
// an int32 byte length and, when positive, the bytes). Script call arguments use it.
#pragma once

#include <string>
#include <vector>

namespace vorn {

class BinaryReader;
class BinaryWriter;

class TArrayString {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  void Add(std::string s) { items_.push_back(std::move(s)); }
  void Assign(const TArrayString& other) { items_ = other.items_; }
  void Clear() { items_.clear(); }
  // Raises EVornError outside 0..Count-1.
  const std::string& Get(int i) const;
  const std::string& operator[](int i) const { return Get(i); }
  void Set(int i, std::string s);
  const std::vector<std::string>& Items() const { return items_; }

  void SaveToStream(BinaryWriter& w) const;
  // Replaces the contents; the count is checked against the bytes left.
  void LoadFromStream(BinaryReader& r);

  bool operator==(const TArrayString&) const = default;

 private:
  std::vector<std::string> items_;
};

}  // namespace vorn
