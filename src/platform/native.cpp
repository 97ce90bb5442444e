// POSIX implementations of the native file-system services. The plain path questions and
// atomic writes are the engine's own (resources/file_stream.h); this layer forwards to them.
#include "platform/native.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "resources/error.h"
#include "resources/file_stream.h"

namespace vorn {

namespace {

std::string ErrnoText() { return std::strerror(errno); }

constexpr long kIso9660Magic = 0x9660;
constexpr long kUdfMagic = 0x15013346;

}  // namespace

std::string ExecutablePath() { return disk::ExecutablePath(); }

std::string ExecutableFolder() {
  std::string path = ExecutablePath();
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return "./";
  return path.substr(0, slash + 1);
}

std::optional<std::string> CanonicalPath(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return std::nullopt;
  std::string result(resolved);
  std::free(resolved);
  return result;
}

bool IsDirectory(const std::string& path) { return disk::IsDirectory(path); }

bool IsRegularFile(const std::string& path) { return disk::IsRegularFile(path); }

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

std::string RuntimeFolder() {
  if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg && xdg[0] == '/' && IsDirectory(xdg))
    return xdg;
  const std::string folder = "/tmp/vornplayer-" + std::to_string(getuid());
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
    throw EVornError("cannot create the runtime folder " + folder + ": " + ErrnoText());
  struct stat st {};
  if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid())
    throw EVornError("the runtime folder " + folder + " is not a folder of this user");
  return folder;
}

std::unique_ptr<FileLock> FileLock::TryAcquire(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) throw EVornError("cannot open the lock file " + path + ": " + ErrnoText());
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    close(fd);
    if (error == EWOULDBLOCK) return nullptr;
    errno = error;
    throw EVornError("cannot lock " + path + ": " + ErrnoText());
  }
  return std::unique_ptr<FileLock>(new FileLock(fd, path));
}

FileLock::~FileLock() {
  flock(fd_, LOCK_UN);
  close(fd_);
}

bool IsOnOpticalDisc(const std::string& path) {
  struct statfs st {};
  if (statfs(path.c_str(), &st) != 0) return false;
  const long type = static_cast<long>(st.f_type);
  return type == kIso9660Magic || type == kUdfMagic;
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return std::nullopt;
    throw EVornError("cannot read " + path + ": " + ErrnoText());
  }
  std::vector<uint8_t> data;
  uint8_t buffer[65536];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      const std::string why = ErrnoText();
      close(fd);
      throw EVornError("cannot read " + path + ": " + why);
    }
    if (n == 0) break;
    data.insert(data.end(), buffer, buffer + n);
  }
  close(fd);
  return data;
}

void WriteFileAtomic(const std::string& path, const void* data, size_t size) {
  disk::WriteFileAtomic(path, data, size);
}

std::optional<std::string> ReadFileTail(const std::string& path, size_t n) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  std::optional<std::string> result;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    const size_t take = std::min<size_t>(n, static_cast<size_t>(st.st_size));
    std::string tail(take, '\0');
    if (pread(fd, tail.data(), take, st.st_size - static_cast<off_t>(take)) ==
        static_cast<ssize_t>(take))
      result = std::move(tail);
  }
  close(fd);
  return result;
}

bool RemoveFile(const std::string& path) { return disk::RemoveFile(path); }

std::string MakeTemporaryFile(const std::string& prefix) {
  const char* tmp = std::getenv("TMPDIR");
  std::string path = JoinPath(tmp && tmp[0] == '/' ? tmp : "/tmp", prefix + "XXXXXX");
  const int fd = mkostemp(path.data(), O_CLOEXEC);
  if (fd < 0) throw EVornError("cannot create a temporary file: " + ErrnoText());
  close(fd);
  return path;
}

bool UserLanguageIsJapanese() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value && value[0]) return std::strncmp(value, "ja", 2) == 0;
  }
  return false;
}

}  // namespace vorn
