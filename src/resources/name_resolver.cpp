// Case-insensitive, component-by-component lookup of virtual names on a case-sensitive disk.
#include "name_resolver.h"

#include <sys/stat.h>

#include <algorithm>

#include "cp932.h"
#include "file_stream.h"
#include "sjis_case.h"

namespace vorn {

using namespace disk;

std::vector<std::string> NameResolver::Components(std::string_view name) {
  std::vector<std::string> parts;
  std::string cur;
  for (size_t i = 0; i < name.size(); ++i) {
    uint8_t b = static_cast<uint8_t>(name[i]);
    if (IsLeadByte(b) && i + 1 < name.size()) {
      // The trail byte may be 0x5C; it belongs to the character, never a separator.
      cur += name[i];
      cur += name[++i];
      continue;
    }
    if (b == '\\' || b == '/') {
      if (!cur.empty() && cur != ".") parts.push_back(cur);
      cur.clear();
      continue;
    }
    cur += name[i];
  }
  if (!cur.empty() && cur != ".") parts.push_back(cur);
  return parts;
}

bool NameResolver::IsSafeName(std::string_view name) {
  if (name.empty()) return true;
  if (name[0] == '\\' || name[0] == '/') return false;
  if (name.size() >= 2 && name[1] == ':') return false;
  if (name.find('\0') != std::string_view::npos) return false;
  for (const std::string& part : Components(name)) {
    if (part == "..") return false;
  }
  return true;
}

const NameResolver::Listing* NameResolver::ListingOf(const std::string& folder) {
  struct stat st;
  if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    cache_.erase(folder);
    return nullptr;
  }
  auto it = cache_.find(folder);
  if (it != cache_.end() && it->second.mtime.tv_sec == st.st_mtim.tv_sec &&
      it->second.mtime.tv_nsec == st.st_mtim.tv_nsec) {
    return &it->second;
  }
  Listing listing;
  listing.mtime = st.st_mtim;
  std::vector<std::string> names = ListDirectory(folder);
  std::sort(names.begin(), names.end());
  for (std::string& n : names) listing.byFold[FoldCase(Utf8ToCp932(n))].push_back(std::move(n));
  return &(cache_[folder] = std::move(listing));
}

std::optional<std::string> NameResolver::Walk(const std::string& root, const std::vector<std::string>& parts) {
  std::string exact = root;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) exact += '/';
    exact += Cp932ToUtf8(parts[i]);
  }
  struct stat st;
  if (::stat(exact.c_str(), &st) == 0) return exact;

  std::string cur = root;
  for (size_t i = 0; i < parts.size(); ++i) {
    const Listing* listing = ListingOf(cur.empty() ? std::string("./") : cur);
    if (!listing) return std::nullopt;
    auto hit = listing->byFold.find(FoldCase(parts[i]));
    if (hit == listing->byFold.end()) return std::nullopt;
    std::string want = Cp932ToUtf8(parts[i]);
    const std::vector<std::string>& names = hit->second;
    auto same = std::find(names.begin(), names.end(), want);
    cur += same != names.end() ? *same : names.front();
    if (i + 1 < parts.size()) cur += '/';
  }
  if (::stat(cur.c_str(), &st) != 0) return std::nullopt;
  return cur;
}

std::optional<std::string> NameResolver::Resolve(const std::string& root, std::string_view name) {
  if (!IsSafeName(name)) return std::nullopt;
  std::vector<std::string> parts = Components(name);
  if (parts.empty()) return std::nullopt;
  return Walk(WithTrailingSlash(root), parts);
}

std::optional<std::string> NameResolver::ResolveFolder(const std::string& root, std::string_view folder) {
  if (!IsSafeName(folder)) return std::nullopt;
  std::vector<std::string> parts = Components(folder);
  std::string base = WithTrailingSlash(root);
  if (parts.empty()) {
    if (!IsDirectory(base.empty() ? "." : base)) return std::nullopt;
    return base;
  }
  auto path = Walk(base, parts);
  if (!path || !IsDirectory(*path)) return std::nullopt;
  return WithTrailingSlash(*path);
}

std::vector<std::string> NameResolver::ListPlainFiles(const std::string& diskFolder) {
  std::vector<std::string> out;
  std::vector<std::string> names = ListDirectory(diskFolder);
  std::sort(names.begin(), names.end());
  std::string base = WithTrailingSlash(diskFolder);
  for (const std::string& n : names) {
    if (IsRegularFile(base + n)) out.push_back(Utf8ToCp932(n));
  }
  return out;
}

}  // namespace vorn
