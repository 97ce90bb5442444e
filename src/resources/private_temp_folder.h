// The private folder in which one file manager keeps its temporary copies, and the sweep that
// removes the folders of players that ended without removing theirs (killed, crashed).
// Layout: PARENT/vornplayer-temp-<uid>/<pid>-XXXXXX/; the owner keeps an flock on the folder
// itself for as long as the folder lives, and the lock dies with the process.
#pragma once

#include <memory>
#include <string>

namespace vorn {

class PrivateTempFolder {
 public:
  // A fresh, empty folder below the per-user folder in parent (falling back to a plain
  // mkdtemp folder in parent when the per-user folder cannot be used). Null on failure.
  static std::unique_ptr<PrivateTempFolder> Create(const std::string& parent);
  // Removes the files in the folder, the folder, and the per-user folder when it is empty;
  // then releases the lock.
  ~PrivateTempFolder();
  PrivateTempFolder(const PrivateTempFolder&) = delete;
  PrivateTempFolder& operator=(const PrivateTempFolder&) = delete;

  // The folder, with a trailing '/'.
  const std::string& Path() const { return path_; }

 private:
  PrivateTempFolder(std::string path, std::string root, int lockFd)
      : path_(std::move(path)), root_(std::move(root)), lockFd_(lockFd) {}
  std::string path_;
  std::string root_;  // the per-user folder ("" for a fallback folder)
  int lockFd_;
};

// The per-user folder that holds the private folders: parent/vornplayer-temp-<uid>/.
std::string TempFolderRoot(const std::string& parent);

// Removes every private folder below TempFolderRoot(parent) whose owner has ended: its pid
// names no running process AND the folder is not locked AND it is older than a few seconds
// (its creator may be between mkdtemp and flock). A live owner always holds the lock, so
// neither a reused pid nor a pid from another namespace gets its folder removed; a reused pid
// only keeps a dead folder until that process ends. Returns the number of folders removed.
int SweepAbandonedTempFolders(const std::string& parent);

}  // namespace vorn
