// Folder enumeration over POSIX directories.
#include "find_files.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <set>
#include <utility>

#include "sjis_case.h"

namespace vorn {

namespace {

uint32_t AttributesOf(const std::string& name, const struct stat& st) {
  uint32_t a = 0;
  if (S_ISDIR(st.st_mode)) a |= kFaDirectory;
  if ((st.st_mode & S_IWUSR) == 0) a |= kFaReadOnly;
  if (!name.empty() && name[0] == '.') a |= kFaHidden;
  return a;
}

std::string BaseName(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  size_t slash = p.rfind('/');
  return slash == std::string::npos ? p : p.substr(slash + 1);
}

// The extension of a file name, dot included; "" when none.
std::string ExtensionOf(const std::string& name) {
  size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot);
}

std::vector<std::string> SortedNames(const std::string& folder) {
  std::vector<std::string> names;
  DIR* d = opendir(folder.empty() ? "." : folder.c_str());
  if (!d) return names;
  while (const dirent* e = readdir(d)) {
    std::string n = e->d_name;
    if (n != "." && n != "..") names.push_back(std::move(n));
  }
  closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

void Walk(const std::string& folder, const FindFilesOptions& o, const std::string& wantExt,
          std::set<std::pair<dev_t, ino_t>>& visited, std::vector<std::string>& list) {
  struct stat self;
  if (stat(folder.empty() ? "." : folder.c_str(), &self) != 0 || !visited.insert({self.st_dev, self.st_ino}).second) return;
  for (const std::string& name : SortedNames(folder)) {
    std::string path = folder + name;
    struct stat st;
    if (stat(path.c_str(), &st) != 0) continue;  // a dangling link or an entry that vanished
    if (o.clearAttributes && (st.st_mode & S_IWUSR) == 0 && chmod(path.c_str(), st.st_mode | S_IWUSR) == 0) {
      st.st_mode |= S_IWUSR;
    }
    uint32_t attrs = AttributesOf(name, st);
    if (attrs & kFaDirectory) {
      std::string sub = path + '/';
      if (o.attributeMask & kFaDirectory) list.push_back(o.markFolders ? sub : path);
      if (o.recurse) Walk(sub, o, wantExt, visited, list);
      continue;
    }
    bool taken = (attrs & o.attributeMask) != 0 || ((attrs & kFaBasicMask) == 0 && o.includePlainFiles);
    if (taken && (wantExt.empty() || SameText(ExtensionOf(name), wantExt))) list.push_back(path);
  }
}

}  // namespace

uint32_t FileAttributesOf(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return 0;
  return AttributesOf(BaseName(path), st);
}

void FindFiles(const std::string& folder, const FindFilesOptions& options, std::vector<std::string>& list) {
  if (options.clearList) list.clear();
  std::string root = folder;
  if (!root.empty() && root.back() != '/') root += '/';
  std::string wantExt = options.extension;
  if (!wantExt.empty() && wantExt[0] != '.') wantExt.insert(0, 1, '.');
  std::set<std::pair<dev_t, ino_t>> visited;
  Walk(root, options, wantExt, visited, list);
}

}  // namespace vorn
