// TFolderDiskList: project folders with the number of the disk of a multi-disk distribution
// they lie on, and the lookup that tells which disk a missing file needs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

class BinaryReader;
class BinaryWriter;

class TFolderDiskList {
 public:
  struct Entry {
    std::string folder;
    int32_t disk = 0;
    bool operator==(const Entry&) const = default;
  };

  void Add(std::string folder, int32_t disk) { entries_.push_back({std::move(folder), disk}); }
  int Count() const { return static_cast<int>(entries_.size()); }
  const Entry& Get(int i) const { return entries_.at(static_cast<size_t>(i)); }
  void Clear() { entries_.clear(); }

  // Stream form: int32 count, then per entry a counted string and an int32.
  void SaveToStream(BinaryWriter& w) const;
  void LoadFromStream(BinaryReader& r);

  // The disk of the deepest listed folder that contains path (compared case-insensitively,
  // both with a trailing backslash), cutting path at its last backslash until one matches;
  // 0 when none does.
  int32_t DiskOfPath(std::string_view path) const;

 private:
  std::vector<Entry> entries_;
};

}  // namespace vorn
