// FindFiles: lists the entries of a native folder (UTF-8 path, '/' separators) by attribute,
// optionally recursing. Linux has no file attributes as such; they map as: directory = a
// folder, read-only = no owner write permission, hidden = a name starting with '.'; system,
// volume-label and archive are never set.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

enum FileAttribute : uint32_t {
  kFaReadOnly = 0x01,
  kFaHidden = 0x02,
  kFaSysFile = 0x04,
  kFaVolumeId = 0x08,
  kFaDirectory = 0x10,
  kFaArchive = 0x20,
  kFaBasicMask = 0x3F,  // the six basic bits
};

struct FindFilesOptions {
  uint32_t attributeMask = 0;
  // Also take files that have none of the six basic attributes.
  bool includePlainFiles = true;
  // With or without the dot; empty = every file. Folders are never filtered by it.
  std::string extension;
  // Clears read-only on disk (gives the owner write permission). A leading dot is a name, not
  // an attribute, so hidden files stay hidden.
  bool clearAttributes = false;
  // Folders are listed with a trailing '/'.
  bool markFolders = false;
  bool recurse = false;
  bool clearList = false;
};

// The attributes of a native path as the bits above; 0 when it does not exist.
uint32_t FileAttributesOf(const std::string& path);

// Appends folder + name of every taken entry ("." and ".." excluded; names sorted per folder
// so results are the same on every run). A folder is taken when the mask has kFaDirectory;
// a file when its attributes share a bit with the mask, or it has none of the basic bits and
// includePlainFiles is set, and its extension matches. Recursion never enters the same folder
// twice (symbolic-link loops end).
void FindFiles(const std::string& folder, const FindFilesOptions& options, std::vector<std::string>& list);

}  // namespace vorn
