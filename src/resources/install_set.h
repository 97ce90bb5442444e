// TVornInstallSet: the install settings record (install.dat) written beside an installation
// and onto every disk of a multi-disk set. The player uses the disk number, the project title,
// the full-install flag and the installed-file list; every other field is carried unchanged so
// the file can be written back. Read at any version 0..108, written at 108 ("is108").
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

class Stream;

class TVornInstallSet {
 public:
  static constexpr int kWriteVersion = 108;

  // Fields in file order. The installer fields are named by position only; the player never
  // interprets them.
  int32_t diskNumber = 0;                     // 2
  std::string title;                          // 3
  std::array<std::string, 3> settings;        // 4-6
  uint8_t option7 = 0;                        // 7
  std::string string8;                        // 8
  uint8_t option9 = 0;                        // 9
  // 10: the record count, written as sizes[0].size()
  std::string string11;                       // 11
  int32_t value12 = 0;                        // 12
  uint8_t option13 = 0, option14 = 0;         // 13-14
  std::string string15, string16;             // 15-16
  std::array<std::vector<int64_t>, 4> sizes;  // 17: four parallel arrays, one entry per record
  std::array<int64_t, 4> totals{};            // 18
  uint8_t option19 = 0;                       // 19
  uint8_t option20 = 0;                       // 20 (version 101)
  std::vector<std::string> installedFiles;    // 21 (102)
  uint8_t fullInstall = 0;                    // 22 (103): non-zero = all data on the hard disk
  uint8_t option23 = 0;                       // 23 (104)
  uint8_t option24 = 0;                       // 24 (105)
  std::vector<std::string> secondList;        // 25 (106)
  std::string string26;                       // 26 (107)
  std::string string27, string28;             // 27-28 (108)

  // The version of the last file read (0 when it had no "is" magic).
  int version = kWriteVersion;

  // Replaces every field with what the stream holds from its position. Raises EFormatError on
  // short or damaged data, and then leaves this record unchanged.
  void LoadFromStream(Stream& s);
  void LoadFromFile(const std::string& nativePath);
  // Always the version-108 layout. The four size arrays must be equally long.
  void SaveToStream(Stream& s) const;
  // Written atomically (temporary file, flush, rename).
  void SaveToFile(const std::string& nativePath) const;

  // Index in the installed-file list (case-insensitive), or -1.
  int IndexOfFile(std::string_view name) const;
  // Appends name unless the list already holds it.
  void AddFile(const std::string& name);
};

}  // namespace vorn
