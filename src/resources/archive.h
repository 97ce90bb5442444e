// The archive container: TVrFile (one entry) and TVrFileCollection, which reads archive
// indexes of versions 0 (headerless), 99, 100, 101 and 102, reads entries (zlib or stored),
// and writes version 102. The same collection also stands for a plain folder on disk and,
// with an empty name, for the in-memory files of the scripts.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "big_stream.h"
#include "hash_collection.h"
#include "name_resolver.h"
#include "stream.h"

namespace vorn {

// The keystream increment of the scrambled names and offsets.
constexpr uint32_t kArchiveKeyIncrement = 0x5A3C9E21;
constexpr int32_t kArchiveWriteVersion = 102;
// The name of the sentinel entry that follows the N entries of a loaded index.
inline constexpr std::string_view kArchiveSentinel = "\\EOF\\";
// Entries larger than this are written as they are, never compressed.
constexpr int64_t kArchiveMaxCompressed = 0x4FFFFF;

class TVrFile final : public THashCollectionItem {
 public:
  using THashCollectionItem::THashCollectionItem;
  int64_t Offset = 0;                   // absolute within the source once the index is loaded
  std::unique_ptr<MemoryStream> Memory; // only for entries created in memory
  int64_t Size = 0;                     // bytes as stored
  uint8_t Stored = 0;                   // 1 = stored as is, 0 = zlib stream
  int32_t Time = 0;                     // packed date-time of the source file, 0 when none
  uint32_t Crc = 0;
  uint8_t CrcOfContent = 0;             // 1 = CRC over the uncompressed bytes, 0 = over the stored bytes
};

// Decides whether a ".gal" file on disk may be compressed (the Gale image check). Unset: never.
using GaleCompressibleCheck = std::function<bool(const std::string& path)>;
// Told "エラー:" + entry name when writing that entry fails, before the error propagates.
using ArchiveEntryErrorSink = std::function<void(const std::string& message)>;

class TVrFileCollection final : public THashCollection<TVrFile> {
 public:
  TVrFileCollection() = default;

  // Clears the collection and opens `name` (a native path). An existing file is read as an
  // archive: an executable (".exe", ".scr", or no extension) from its "vz" trailer, otherwise
  // from its ".ext" side file when there is one, else from position 0. A name that is no file
  // makes this a folder collection for that folder; an empty name, the memory collection.
  // A damaged index raises EFormatError and leaves the collection empty.
  void OpenArchive(const std::string& name);
  // Clears the collection and reads the index at the source's current position; the source
  // also supplies the entry data. For save buffers and other archives held in memory.
  void OpenStream(std::shared_ptr<TTpBigStream> source, std::string folder = {});
  // The resource archive of a Windows executable does not exist on Linux: always absent.
  bool OpenResourceArchive(const std::string& resourceName, const std::string& resourceType);

  // Reads an index at the stream's position B (the archive base); entry offsets become B +
  // the stored offset and must lie within `dataSize`, the size of the stream holding the
  // data. On any error the collection is left empty and EFormatError is raised.
  void ReadIndex(Stream& index, int64_t dataSize);

  TVrFile* AddName(const std::string& name);
  TVrFile* AddMemoryFile(const std::string& name);
  void RemoveEntry(std::string_view name);

  // Fills target with the entry's bytes (inflated) or, failing that, with folder + name from
  // disk; raises "%s:ファイルがありません" when neither has it. Position 0 afterwards.
  void ReadEntry(Stream& target, const std::string& name) const;
  // Reads entry e of this collection's source into target (emptied when in memory).
  void ReadEntryData(Stream& target, const TVrFile& e) const;
  // A read-only range over the stored bytes of the entry; null without source or entry.
  std::unique_ptr<TRangeStream> OpenEntryRange(std::string_view name) const;
  // Appends the names of all entries whose folder part equals folder (case-insensitive).
  void ListFolder(std::string_view folder, std::vector<std::string>& list) const;

  // Writes the collection as a version-102 archive at the target's position. Unchanged
  // entries are copied from the current source. Returns true when written.
  bool WriteArchive(Stream& target, const ArchiveEntryErrorSink& onError = {},
                    const GaleCompressibleCheck& galeCheck = {}) const;

  const std::string& FolderPath() const { return folder_; }
  void SetFolderPath(std::string folder) { folder_ = std::move(folder); }
  const std::string& ArchiveFileName() const { return fileName_; }
  const std::shared_ptr<TTpBigStream>& Source() const { return source_; }
  bool HasSource() const { return source_ != nullptr; }
  int32_t Version() const { return version_; }
  // The disk path of folder + name when this collection has a folder and the file exists.
  std::string DiskPathOf(std::string_view name) const;
  void SetResolver(NameResolver* resolver) { resolver_ = resolver; }

  // Part size of split archives; tests use small parts.
  void SetPartSize(int64_t size) { partSize_ = size; }

 private:
  void Reset();
  std::string folder_;
  std::shared_ptr<TTpBigStream> source_;
  std::string fileName_;
  int32_t version_ = 0;
  int64_t partSize_ = kBigFilePartSize;
  NameResolver* resolver_ = nullptr;
  mutable std::unique_ptr<NameResolver> ownResolver_;
  NameResolver& Resolver() const;
};

// Reads the "vz" trailer of an executable: the archive's start, or -1 when the file does not
// end in "vz". A trailer that points outside the file raises EFormatError.
int64_t ReadExecutableTrailer(const TTpBigStream& exe, const std::string& what);
// Writes the six-byte trailer for an archive that begins at archiveStart.
void WriteExecutableTrailer(Stream& out, int64_t archiveStart);
// True when the file's last two bytes are "vz".
bool EndsWithVz(const std::string& path);

}  // namespace vorn
