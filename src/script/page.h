// A compiled page: its header (version, result type, property sets) and its command list,
// read from and written to the page-file bytes.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "script/command.h"

namespace vorn {

class TVrFileManager;

// Versions of the page format the player reads.
inline constexpr int kPageVersionMin = 103;
inline constexpr int kPageVersionMax = 116;

// What a load found, for the caller to act on.
enum class PageLoadResult {
  Ok,
  // Above the newest version: the page is left empty and ends as soon as it is entered.
  TooNew,
  // Below the oldest version: the page is empty; the player shows RebuildMessage() in a
  // warning box, sets the quit flag and closes the main window.
  NeedsRebuild,
};

// How the header is laid out when writing; tests use other values to build edge cases.
struct PageLayout {
  int32_t setCount = kCommandKinds;
  int32_t setSize = static_cast<int32_t>(PropertySet::kBytes);
};

class TPage {
 public:
  // An empty page made without a file: version 104, result type 1.
  TPage();

  // Replaces the contents with the page in `bytes`; `name` is the file name it came from.
  // Damaged data raises EFormatError and a code outside 0..60 raises EVornError
  // "不正なコマンド"; either way the commands read before the fault stay in the list.
  PageLoadResult LoadFromBytes(const std::string& name, std::span<const uint8_t> bytes);
  // Clears the page, stores the name and reads the file through the file manager (whose
  // "%s:ファイルがありません" error reaches the caller when no source has it).
  PageLoadResult Load(const std::string& name, TVrFileManager& files);
  void Parse(BinaryReader& r);  // the body after the version, for LoadFromBytes

  // The page file (at `version`, with its gates).
  void SaveToStream(BinaryWriter& w, const PageLayout& layout = {}) const;
  std::vector<uint8_t> SaveToBytes(const PageLayout& layout = {}) const;

  // The text of the rebuild warning: page name, line break, "リビルドしてください".
  std::string RebuildMessage() const;

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }
  TComList& Commands() { return commands_; }
  const TComList& Commands() const { return commands_; }

  int32_t version = 104;
  uint8_t resultType = 1;  // type of the value a Call of this page receives back (1..4)
  std::array<PropertySet, kCommandKinds> sets{};

 private:
  std::string name_;
  TComList commands_{this};
};

}  // namespace vorn
