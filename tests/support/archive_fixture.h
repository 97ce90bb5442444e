// Archive fixtures for tests: a writer for every archive version the player reads (0, 99,
// 100, 101, 102) that lays entries out exactly as given, and a scratch folder on disk that is
// removed with everything in it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "resources/stream.h"

namespace vorn::test {

struct ArchiveFixtureEntry {
  std::string name;               // CP932
  std::vector<uint8_t> content;   // uncompressed bytes
  bool stored = false;            // false: written as a zlib stream (level 1)
  int32_t time = 0;
  bool crcOfContent = true;       // the coverage flag; the CRC follows it
};

// Writes an archive of `version` (0 = headerless) at the stream's position. Versions before
// 101 have no tables, so every entry is compressed there whatever `stored` says.
void WriteFixtureArchive(Stream& out, const std::vector<ArchiveFixtureEntry>& entries, int version);
std::vector<uint8_t> FixtureArchiveBytes(const std::vector<ArchiveFixtureEntry>& entries, int version);

std::vector<uint8_t> Bytes(const std::string& s);

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  // The folder, ending in '/'.
  const std::string& Path() const { return path_; }
  // Writes a file (folders created) and returns its full path.
  std::string Write(const std::string& relative, const std::vector<uint8_t>& bytes) const;
  std::string Write(const std::string& relative, const std::string& text) const { return Write(relative, Bytes(text)); }

 private:
  std::string path_;
};

// Removes a folder tree (no symlinks followed).
void RemoveTree(const std::string& path);

}  // namespace vorn::test
