// Native files: the one place of the engine that opens paths on disk. FileStream is a Stream
// over a POSIX descriptor whose ReadAt is a positional read (pread), safe from any thread;
// the free functions answer the few questions the file manager asks about paths.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "stream.h"

namespace vorn {

class FileStream final : public Stream {
 public:
  enum class Mode {
    Read,       // existing file, read only
    ReadWrite,  // existing file, read and write
    Create,     // created anew (truncated), read and write
  };
  // Raises EVornError naming the path and the system's reason.
  static std::unique_ptr<FileStream> Open(const std::string& path, Mode mode);
  // Null when the file cannot be opened.
  static std::unique_ptr<FileStream> TryOpen(const std::string& path, Mode mode);
  ~FileStream() override;
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  size_t Read(void* buffer, size_t n) override;
  void Write(const void* buffer, size_t n) override;
  int64_t Size() const override;
  int64_t Position() const override { return position_; }
  // Any position >= 0; a read past the end returns nothing, a write there extends the file.
  void Seek(int64_t position) override;

  // Reads up to n bytes at pos without touching the stream position; fewer only at the end.
  // Thread-safe: several threads may call it at once.
  size_t ReadAt(int64_t pos, void* buffer, size_t n) const;
  // Writes n bytes at pos without touching the stream position.
  void WriteAt(int64_t pos, const void* buffer, size_t n);
  // Pushes written data to the disk (fsync).
  void Flush();
  const std::string& Path() const { return path_; }

 private:
  FileStream(int fd, std::string path, bool writable) : fd_(fd), path_(std::move(path)), writable_(writable) {}
  int fd_;
  std::string path_;
  bool writable_;
  int64_t position_ = 0;
};

// Questions about native paths (UTF-8), in their own namespace so that they never clash with
// the platform layer's helpers. None of them raises except WriteFileAtomic.
namespace disk {

bool PathExists(const std::string& path);
bool IsRegularFile(const std::string& path);
bool IsDirectory(const std::string& path);
// -1 when the file does not exist.
int64_t FileSizeOf(const std::string& path);
// The file's modification time as a packed local date-time (date in the high 16 bits:
// years since 1980 << 9 | month << 5 | day; time in the low 16: hour << 11 | minute << 5 |
// second / 2); 0 when the file does not exist.
int32_t PackedFileTime(const std::string& path);
bool RemoveFile(const std::string& path);
// The names in a folder, "." and ".." excluded, unsorted; empty when it cannot be read.
std::vector<std::string> ListDirectory(const std::string& folder);
// Writes bytes to path atomically: a temporary file beside it (unique to this writer),
// flushed, renamed over it. The old content survives any failure; the error names the path.
void WriteFileAtomic(const std::string& path, const void* data, size_t n);
// The path of the running executable (/proc/self/exe), empty when unknown.
std::string ExecutablePath();
// The folder part of a native path, with its trailing '/' ("" for a bare name).
std::string NativeFolderOf(const std::string& path);
// Adds a trailing '/' to a non-empty path that lacks one.
std::string WithTrailingSlash(std::string path);

}  // namespace disk

}  // namespace vorn
