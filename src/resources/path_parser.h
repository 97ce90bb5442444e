// Backslash path helpers for the engine's CP932 virtual paths: TPathParser (a path cut into
// components, each with its trailing backslash), ExpandRelativePath and the trailing-backslash
// helpers. Separators are found CP932-aware: a trail byte 0x5C is not a backslash.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorn {

// s with a '\' appended unless its last character already is one; "" gives "\".
std::string AddTrailingBackslash(std::string_view s);
// True when the byte at offset i (0-based) is '\' and not the trail byte of a two-byte character.
bool IsBackslashAt(std::string_view s, size_t i);
// 0-based offset of the last byte of s that is one of delimiters and not a trail byte; npos if none.
size_t LastDelimiter(std::string_view s, std::string_view delimiters);

class TPathParser {
 public:
  // Clears the list, then cuts path (given a trailing backslash) into components: "\\server\"
  // first for a path starting with two backslashes, "C:\" first for a path with a drive,
  // then each folder with its backslash. The case of the path is kept: names on Linux disks
  // are case-sensitive, and every comparison of virtual paths folds case itself.
  void Split(std::string_view path);
  int Count() const { return static_cast<int>(parts_.size()); }
  const std::string& Get(int i) const { return parts_.at(static_cast<size_t>(i)); }
  void DeleteLast() { parts_.pop_back(); }
  // The components joined in order (the split path with its trailing backslash).
  std::string Join() const;
  const std::vector<std::string>& Parts() const { return parts_; }

 private:
  std::vector<std::string> parts_;
};

// A path of at most one character, starting with '\' or with a drive is returned as it is;
// one not starting with "..\" is base + path; otherwise each leading "..\" drops the last
// component of base (as far as base has components).
std::string ExpandRelativePath(std::string_view path, std::string_view base);

}  // namespace vorn
