// Maps the engine's virtual file names (CP932, folders separated by '\' or '/', compared
// case-insensitively) to files on disk, whose names are UTF-8 and case-sensitive. Each
// component is matched against a cached listing of its folder; the listing is read again
// when the folder changes. Names from game data never leave their root: "..", absolute
// paths and drive letters are refused.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vorn {

class NameResolver {
 public:
  // False for names that would leave the root: an empty component "..", a leading '\' or
  // '/', a drive letter ("C:"), or a NUL byte.
  static bool IsSafeName(std::string_view name);
  // Splits a virtual name into its components ('\' and '/' separate; empty and "." dropped).
  static std::vector<std::string> Components(std::string_view name);

  // The disk path of root + name (root is a native folder ending in '/'), or nothing when the
  // name is refused or some component has no match. Exact matches win over case-folded ones.
  std::optional<std::string> Resolve(const std::string& root, std::string_view name);
  // The disk folder for a virtual folder name ("" is the root itself), or nothing.
  std::optional<std::string> ResolveFolder(const std::string& root, std::string_view folder);
  // The plain files (not folders) directly inside a disk folder, as CP932 names.
  std::vector<std::string> ListPlainFiles(const std::string& diskFolder);
  // Forgets every cached listing.
  void Invalidate() { cache_.clear(); }

 private:
  struct Listing {
    struct timespec mtime {};
    // Folded CP932 name -> the disk names (UTF-8) that fold to it.
    std::unordered_map<std::string, std::vector<std::string>> byFold;
  };
  const Listing* ListingOf(const std::string& folder);
  std::optional<std::string> Walk(const std::string& root, const std::vector<std::string>& parts);
  std::unordered_map<std::string, Listing> cache_;
};

}  // namespace vorn
