// Folder/disk list.
#include "folder_disk_list.h"

#include "binary_reader.h"
#include "path_parser.h"
#include "sjis_case.h"

namespace vorn {

void TFolderDiskList::SaveToStream(BinaryWriter& w) const {
  w.I32(Count());
  for (const Entry& e : entries_) {
    w.CountedString(e.folder);
    w.I32(e.disk);
  }
}

void TFolderDiskList::LoadFromStream(BinaryReader& r) {
  int32_t n = r.Count("folder/disk list count", 8);
  std::vector<Entry> entries;
  entries.reserve(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) {
    Entry e;
    e.folder = r.CountedString("folder/disk list folder");
    e.disk = r.I32("folder/disk list disk");
    entries.push_back(std::move(e));
  }
  entries_ = std::move(entries);
}

int32_t TFolderDiskList::DiskOfPath(std::string_view path) const {
  std::string p = UpperCase(path);
  while (!p.empty()) {
    std::string key = AddTrailingBackslash(p);
    for (const Entry& e : entries_) {
      if (SameText(AddTrailingBackslash(e.folder), key)) return e.disk;
    }
    size_t cut = LastDelimiter(p, "\\");
    p.erase(cut == std::string::npos ? 0 : cut);
  }
  return 0;
}

}  // namespace vorn
