// TProjectSetting: the project file vorn.vpb — title, screen geometry, start and end pages,
// disk handling, project variables and the folder/disk map — read at every version up to
// the newest and written at any of them.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "resources/binary_reader.h"
#include "resources/folder_disk_list.h"

namespace vorn {

inline constexpr int kProjectVersionMax = 116;

// "このバージョンには対応していません", raised for a project file above the newest version.
extern const char kTextUnsupportedVersion[];
// The never-ask list when the file has none: files of these kinds never ask for a disk.
inline constexpr char kDefaultNeverAskExtensions[] = ".wav.wma.ogg.mid";

// A variable the project declares; created at start unless status data restored it.
struct ProjectVariable {
  uint8_t type = 1;  // 1 integer, 2 real, 3 flag, 4 string
  std::string name;
  int32_t intValue = 0;
  long double realValue = 0;
  bool flagValue = false;
  std::string strValue;
  bool operator==(const ProjectVariable&) const = default;
};

class TProjectSetting {
 public:
  TProjectSetting();

  // Raises EVornError kTextUnsupportedVersion above version 116, EFormatError on damage.
  void LoadFromBytes(std::span<const uint8_t> bytes);
  void LoadFromStream(BinaryReader& r);
  // Writes the fields `version` has.
  void SaveToStream(BinaryWriter& w) const;
  std::vector<uint8_t> SaveToBytes() const;

  int32_t version = kProjectVersionMax;
  std::string title;
  int32_t screenWidth = 640, screenHeight = 480;
  int32_t fullScreenWidth = 640, fullScreenHeight = 480;
  std::string startPage;
  std::string endPage;           // version >= 110
  std::string registryKey;       // "Software\" + this holds the CD drive setting
  int32_t idCode = 0;            // key of protected images
  bool keepStatus = false;       // version > 103
  uint8_t reserved106 = 0;       // version >= 106, kept only
  std::string neverAskExtensions = kDefaultNeverAskExtensions;  // version >= 109
  bool pauseWhenInactive = false;  // version >= 113
  uint8_t reserved114 = 0;       // version >= 114, kept only
  bool toolbarVisible = true;    // version >= 116
  std::string diskChangeMessage;  // "%d" stands for the disk number
  std::string exitMessage;
  // Variables of an unknown type are skipped when reading.
  std::vector<ProjectVariable> variables;
  TFolderDiskList folders;

 private:
  template <class IO>
  void Transfer(IO& io);
};

}  // namespace vorn
