// Another process that owns a private temporary folder, for tests of the sweep of abandoned
// folders: a forked child makes the folder (with one copy in it) and then either keeps it
// while it runs, ends cleanly, or dies without cleaning up, as a crashed player would.
#pragma once

#include <sys/types.h>

#include <string>

namespace vorn::test {

class TempFolderOwner {
 public:
  // Forks the child; it makes its folder below parent and waits. Throws when it cannot.
  explicit TempFolderOwner(const std::string& parent);
  // Ends the child cleanly when it still runs.
  ~TempFolderOwner();
  TempFolderOwner(const TempFolderOwner&) = delete;
  TempFolderOwner& operator=(const TempFolderOwner&) = delete;

  // The child's folder (trailing '/') and the copy it wrote there.
  const std::string& Folder() const { return folder_; }
  std::string CopyPath() const { return folder_ + "~vz00000000.mid"; }
  // The child's pid (also after it ended).
  pid_t Pid() const { return pid_; }

  // The child dies at once (no destructors run): its folder stays behind, unlocked.
  void Crash();
  // The child removes its folder the normal way and ends.
  void End();

 private:
  void Finish(char how);
  pid_t pid_ = -1;
  bool running_ = false;
  int toChild_ = -1;
  std::string folder_;
};

// Sets a folder's modification time to an hour ago, so the sweep's grace period is over.
void BackdateFolder(const std::string& folder);

}  // namespace vorn::test
