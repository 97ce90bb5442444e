// POSIX implementation of the native file stream and the path questions.
#include "file_stream.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>

#include "error.h"

namespace vorn {

namespace {

std::string SystemReason() { return std::strerror(errno); }

}  // namespace

std::unique_ptr<FileStream> FileStream::TryOpen(const std::string& path, Mode mode) {
  int flags = O_CLOEXEC;
  switch (mode) {
    case Mode::Read: flags |= O_RDONLY; break;
    case Mode::ReadWrite: flags |= O_RDWR; break;
    case Mode::Create: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
  }
  int fd;
  do {
    fd = ::open(path.c_str(), flags, 0644);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return nullptr;
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    errno = EISDIR;
    return nullptr;
  }
  return std::unique_ptr<FileStream>(new FileStream(fd, path, mode != Mode::Read));
}

std::unique_ptr<FileStream> FileStream::Open(const std::string& path, Mode mode) {
  auto f = TryOpen(path, mode);
  if (!f) throw EVornError(path + ": cannot open: " + SystemReason());
  return f;
}

FileStream::~FileStream() { ::close(fd_); }

size_t FileStream::ReadAt(int64_t pos, void* buffer, size_t n) const {
  size_t done = 0;
  auto* out = static_cast<uint8_t*>(buffer);
  while (done < n) {
    size_t chunk = std::min<size_t>(n - done, 1u << 30);
    ssize_t got = ::pread(fd_, out + done, chunk, static_cast<off_t>(pos + static_cast<int64_t>(done)));
    if (got < 0) {
      if (errno == EINTR) continue;
      throw EVornError(path_ + ": read error: " + SystemReason());
    }
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

void FileStream::WriteAt(int64_t pos, const void* buffer, size_t n) {
  if (!writable_) throw EVornError(path_ + ": write to a file opened for reading");
  size_t done = 0;
  const auto* in = static_cast<const uint8_t*>(buffer);
  while (done < n) {
    ssize_t put = ::pwrite(fd_, in + done, n - done, static_cast<off_t>(pos + static_cast<int64_t>(done)));
    if (put < 0) {
      if (errno == EINTR) continue;
      throw EVornError(path_ + ": write error: " + SystemReason());
    }
    done += static_cast<size_t>(put);
  }
}

size_t FileStream::Read(void* buffer, size_t n) {
  size_t got = ReadAt(position_, buffer, n);
  position_ += static_cast<int64_t>(got);
  return got;
}

void FileStream::Write(const void* buffer, size_t n) {
  WriteAt(position_, buffer, n);
  position_ += static_cast<int64_t>(n);
}

int64_t FileStream::Size() const {
  struct stat st;
  if (::fstat(fd_, &st) != 0) throw EVornError(path_ + ": cannot read the size: " + SystemReason());
  return static_cast<int64_t>(st.st_size);
}

void FileStream::Seek(int64_t position) {
  if (position < 0) throw EVornError(path_ + ": seek to a negative position");
  position_ = position;
}

void FileStream::Flush() {
  if (writable_ && ::fsync(fd_) != 0 && errno != EINVAL) {
    throw EVornError(path_ + ": cannot flush: " + SystemReason());
  }
}

namespace disk {

bool PathExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsDirectory(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int64_t FileSizeOf(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}

int32_t PackedFileTime(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return 0;
  time_t t = st.st_mtim.tv_sec;
  struct tm lt;
  if (!::localtime_r(&t, &lt)) return 0;
  int year = lt.tm_year + 1900;
  if (year < 1980) return 0;  // the packed form cannot hold earlier dates
  uint32_t date = static_cast<uint32_t>(((year - 1980) << 9) | ((lt.tm_mon + 1) << 5) | lt.tm_mday);
  uint32_t time = static_cast<uint32_t>((lt.tm_hour << 11) | (lt.tm_min << 5) | (lt.tm_sec / 2));
  return static_cast<int32_t>((date << 16) | time);
}

bool RemoveFile(const std::string& path) { return !path.empty() && ::unlink(path.c_str()) == 0; }

std::vector<std::string> ListDirectory(const std::string& folder) {
  std::vector<std::string> names;
  DIR* d = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!d) return names;
  while (struct dirent* e = ::readdir(d)) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    names.emplace_back(e->d_name);
  }
  ::closedir(d);
  return names;
}

void WriteFileAtomic(const std::string& path, const void* data, size_t n) {
  // A temporary name of this writer alone (pid and clock, created exclusively), so writers
  // of the same file never share one; 0666 lets the umask give the file its usual mode.
  std::string tmp;
  int fd = -1;
  for (int attempt = 0; fd < 0; ++attempt) {
    struct timespec ts;
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    tmp = path + ".tmp~" + std::to_string(::getpid()) + "-" + std::to_string(ts.tv_nsec + attempt);
    fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && (errno != EEXIST || attempt >= 100)) throw EVornError("cannot write " + path + ": " + SystemReason());
  }
  const auto* bytes = static_cast<const uint8_t*>(data);
  size_t done = 0;
  bool ok = true;
  while (ok && done < n) {
    const ssize_t put = ::write(fd, bytes + done, n - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) ok = false;
    else done += static_cast<size_t>(put);
  }
  ok = ok && ::fsync(fd) == 0;
  std::string reason = ok ? std::string() : SystemReason();
  ok = ::close(fd) == 0 && ok;
  if (!ok || ::rename(tmp.c_str(), path.c_str()) != 0) {
    if (reason.empty()) reason = SystemReason();
    RemoveFile(tmp);
    throw EVornError("cannot write " + path + ": " + reason);
  }
}

std::string ExecutablePath() {
  char buf[PATH_MAX + 1];
  ssize_t n = ::readlink("/proc/self/exe", buf, PATH_MAX);
  if (n <= 0) return {};
  return std::string(buf, static_cast<size_t>(n));
}

std::string NativeFolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string WithTrailingSlash(std::string path) {
  if (!path.empty() && path.back() != '/') path += '/';
  return path;
}

}  // namespace disk

}  // namespace vorn
