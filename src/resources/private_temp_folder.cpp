// Private temporary folders with an owner lock, and the sweep of abandoned ones (POSIX).
#include "private_temp_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "file_stream.h"

namespace vorn {

using namespace disk;

namespace {

// A new folder is left alone this long: its creator may be between making it and locking it.
constexpr time_t kGraceSeconds = 10;

// The per-user folder, made when missing; empty when it cannot be used safely (not a
// folder, a link, or another user's).
std::string UsableRoot(const std::string& parent) {
  std::string root = TempFolderRoot(parent);
  std::string bare = root.substr(0, root.size() - 1);
  if (::mkdir(bare.c_str(), 0700) != 0 && errno != EEXIST) return {};
  struct stat st;
  if (::lstat(bare.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return {};
  return root;
}

std::string MakeFolder(const std::string& pattern) {
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (!::mkdtemp(buf.data())) return {};
  return WithTrailingSlash(buf.data());
}

// Removes the plain files of a folder and the folder itself (the private folders hold no
// sub-folders; anything else makes rmdir fail and the folder stays).
void RemoveFolder(const std::string& folder) {
  for (const std::string& n : ListDirectory(folder)) RemoveFile(folder + n);
  ::rmdir(folder.c_str());
}

bool ProcessRuns(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

// The owner pid of a private folder's name ("<pid>-XXXXXX"), or 0.
pid_t OwnerOf(const std::string& name) {
  size_t dash = name.find('-');
  if (dash == 0 || dash == std::string::npos || dash > 9) return 0;
  pid_t pid = 0;
  for (size_t i = 0; i < dash; ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    pid = pid * 10 + (name[i] - '0');
  }
  return pid;
}

}  // namespace

std::string TempFolderRoot(const std::string& parent) {
  return WithTrailingSlash(parent) + "vornplayer-temp-" + std::to_string(::getuid()) + "/";
}

std::unique_ptr<PrivateTempFolder> PrivateTempFolder::Create(const std::string& parent) {
  const std::string stem = std::to_string(::getpid()) + "-XXXXXX";
  // Another player may remove the empty per-user folder between our mkdir and mkdtemp.
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::string root = UsableRoot(parent);
    if (root.empty()) break;
    std::string folder = MakeFolder(root + stem);
    if (folder.empty()) {
      if (errno == ENOENT) continue;
      break;
    }
    int fd = ::open(folder.substr(0, folder.size() - 1).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      return std::unique_ptr<PrivateTempFolder>(new PrivateTempFolder(folder, root, fd));
    }
    if (fd >= 0) ::close(fd);
    RemoveFolder(folder);
    return nullptr;
  }
  // Without a usable per-user folder: a private folder straight in parent, not swept.
  std::string folder = MakeFolder(WithTrailingSlash(parent) + "vornplayer-" + stem);
  if (folder.empty()) return nullptr;
  return std::unique_ptr<PrivateTempFolder>(new PrivateTempFolder(folder, "", -1));
}

PrivateTempFolder::~PrivateTempFolder() {
  // The lock is released last, so no sweep can take the folder while it still has files.
  RemoveFolder(path_);
  if (!root_.empty()) ::rmdir(root_.c_str());  // fails while other players have folders there
  if (lockFd_ >= 0) ::close(lockFd_);
}

int SweepAbandonedTempFolders(const std::string& parent) {
  const std::string root = TempFolderRoot(parent);
  struct stat rootStat;
  if (::lstat(root.substr(0, root.size() - 1).c_str(), &rootStat) != 0 || !S_ISDIR(rootStat.st_mode) ||
      rootStat.st_uid != ::getuid()) {
    return 0;
  }
  int removed = 0;
  for (const std::string& name : ListDirectory(root)) {
    pid_t pid = OwnerOf(name);
    if (pid <= 0 || pid == ::getpid() || ProcessRuns(pid)) continue;
    const std::string folder = root + name + "/";
    int fd = ::open((root + name).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) continue;
    struct stat st;
    if (::fstat(fd, &st) != 0 || st.st_uid != ::getuid() || std::time(nullptr) - st.st_mtime < kGraceSeconds ||
        ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);  // young, not ours, or locked by a live owner seen under another pid
      continue;
    }
    RemoveFolder(folder);
    ::close(fd);
    if (!IsDirectory(folder)) ++removed;
  }
  return removed;
}

}  // namespace vorn
