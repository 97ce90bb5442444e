// Native file-system services in place of the Windows ones the player used: the executable's
// folder, canonical paths, the per-user runtime folder, the single-instance file lock,
// temporary files, atomic writes, the CD-ROM check and the user's language.
// Paths here are native (UTF-8 bytes); engine (CP932) names never reach this file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

// The folder that holds the running executable, with a trailing '/'.
// Falls back to the current folder when /proc/self/exe cannot be read.
std::string ExecutableFolder();
// The running executable's own path (from /proc/self/exe).
std::string ExecutablePath();

// Absolute path with symbolic links, "." and ".." resolved; nullopt when it does not exist.
std::optional<std::string> CanonicalPath(const std::string& path);
bool IsDirectory(const std::string& path);
bool IsRegularFile(const std::string& path);
// Joins a folder and a name with exactly one '/' between them.
std::string JoinPath(const std::string& folder, const std::string& name);

// The user's runtime folder for locks: $XDG_RUNTIME_DIR when it is an absolute existing
// folder, else /tmp/vornplayer-<uid>, created with mode 0700 and refused when another user
// owns it. Raises EVornError when neither can be used.
std::string RuntimeFolder();

// An exclusive advisory lock (flock) on a file; released when the object dies or the process
// ends, so a crashed player never leaves a stale lock behind.
class FileLock {
 public:
  // Creates the file when needed and tries to lock it without waiting. Returns null when
  // another process holds the lock. Raises EVornError when the file cannot be opened.
  static std::unique_ptr<FileLock> TryAcquire(const std::string& path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  const std::string& Path() const { return path_; }

 private:
  FileLock(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  int fd_;
  std::string path_;
};

// True when the path lies on a CD or DVD file system (ISO 9660 or UDF).
bool IsOnOpticalDisc(const std::string& path);

// Reads a whole file. nullopt when it does not exist; EVornError when it exists but cannot
// be read (a folder, no permission, an I/O error).
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path);
// Writes a file atomically: a temporary file beside it, flushed to disk, renamed over the
// target. The old content survives any failure. Raises EVornError naming the path.
void WriteFileAtomic(const std::string& path, const void* data, size_t size);
// The last n bytes of a file (fewer when it is shorter); nullopt when unreadable.
std::optional<std::string> ReadFileTail(const std::string& path, size_t n);
bool RemoveFile(const std::string& path);

// A new empty temporary file in $TMPDIR (or /tmp) whose name starts with prefix; returns its
// path. Raises EVornError when none can be made.
std::string MakeTemporaryFile(const std::string& prefix);

// True when the user's messages language is Japanese (LC_ALL, LC_MESSAGES or LANG "ja...").
bool UserLanguageIsJapanese();

}  // namespace vorn
