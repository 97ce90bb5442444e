// Writing a collection as a version-102 archive: scrambled names, placeholder tables that
// are filled once every entry's data is written, and the compress-or-store rules.
#include "archive.h"

#include <algorithm>

#include "binary_reader.h"
#include "error.h"
#include "sjis_case.h"
#include "tp_random.h"
#include "vr_texts.h"
#include "zlib_codec.h"

namespace vorn {

using namespace disk;

namespace {

struct WrittenEntry {
  int64_t offset = 0;
  uint8_t stored = 0;
  int32_t time = 0;
  uint32_t crc = 0;
  uint8_t coverage = 0;
};

std::string UpperExtension(const std::string& name) {
  size_t cut = name.find_last_of("\\/.");
  if (cut == std::string::npos || name[cut] != '.') return {};
  return UpperCase(name.substr(cut));
}

// Media formats are already compressed; the extension is looked up as a substring of this
// list, as the authoring tool always has.
bool IsMediaExtension(const std::string& upperExt) {
  static constexpr std::string_view kMedia = ".WAV.WMA.OGG.AVI.MPG.MPE";
  return !upperExt.empty() && kMedia.find(upperExt) != std::string_view::npos;
}

void WriteBytes(Stream& out, std::span<const uint8_t> bytes) { out.Write(bytes.data(), bytes.size()); }

// Writes an entry's bytes deflated, or stored when `store` is set or, with `needGain`, when
// deflating saves less than a tenth; records the stored flag and the CRC that the entry's
// coverage flag promises (of the content, or of the bytes in the archive).
void WriteEntryData(Stream& target, const std::vector<uint8_t>& data, bool store, bool needGain,
                    WrittenEntry& out) {
  if (!store) {
    std::vector<uint8_t> packed = DeflateFast(data);
    if (!needGain || static_cast<int64_t>(packed.size()) <= static_cast<int64_t>(data.size()) * 9 / 10) {
      WriteBytes(target, packed);
      out.crc = out.coverage ? Crc32(data) : Crc32(packed);
      return;
    }
  }
  WriteBytes(target, data);
  out.stored = 1;
  out.crc = Crc32(data);
}

}  // namespace

bool TVrFileCollection::WriteArchive(Stream& target, const ArchiveEntryErrorSink& onError,
                                     const GaleCompressibleCheck& galeCheck) const {
  std::vector<const TVrFile*> entries;
  for (int i = 0; i < Count(); ++i) {
    if (Item(i)->Name() != kArchiveSentinel) entries.push_back(Item(i));
  }
  const size_t n = entries.size();
  if (n > static_cast<size_t>(INT32_MAX)) throw EVornError("archive: too many entries");
  const int64_t start = target.Position();

  MemoryStream header;
  {
    BinaryWriter w(header);
    w.FixedString("vf");
    w.I32(kArchiveWriteVersion);
    w.I32(static_cast<int32_t>(n));
    TTpRandom key(kArchiveKeyIncrement);
    for (const TVrFile* e : entries) {
      std::string name = e->Name();
      for (char& c : name) c = static_cast<char>(static_cast<uint8_t>(c) ^ static_cast<uint8_t>(key.Next()));
      w.I32(static_cast<int32_t>(name.size()));
      w.FixedString(name);
    }
  }
  WriteBytes(target, header.Data());
  const int64_t tablesAt = target.Position();
  const size_t tableBytes = (n + 1) * 8 + n * (1 + 4 + 4 + 1);
  {
    std::vector<uint8_t> zeros(tableBytes, 0);
    WriteBytes(target, zeros);
  }

  std::vector<WrittenEntry> written(n);
  for (size_t i = 0; i < n; ++i) {
    const TVrFile& e = *entries[i];
    WrittenEntry& out = written[i];
    out.offset = target.Position() - start;
    out.time = e.Time;
    out.coverage = e.CrcOfContent;
    try {
      std::string diskPath;
      if (e.Memory) {
        const std::vector<uint8_t>& data = e.Memory->Data();
        WriteEntryData(target, data, static_cast<int64_t>(data.size()) > kArchiveMaxCompressed, false, out);
      } else if (!(diskPath = DiskPathOf(e.Name())).empty()) {
        out.time = PackedFileTime(diskPath);
        int64_t size = FileSizeOf(diskPath);
        std::string ext = UpperExtension(e.Name());
        bool compressible = (ext == ".GAL" && galeCheck && galeCheck(diskPath)) ||
                            (!IsMediaExtension(ext) && size < 0x500000);
        auto file = FileStream::Open(diskPath, FileStream::Mode::Read);
        if (compressible) {
          std::vector<uint8_t> data(static_cast<size_t>(size));
          file->ReadExact(data.data(), data.size(), diskPath.c_str());
          WriteEntryData(target, data, false, true, out);
        } else {
          // Media files can be large: copy them in chunks with a running CRC.
          std::vector<uint8_t> chunk(1 << 20);
          uint32_t crc = 0;
          while (size_t got = file->Read(chunk.data(), chunk.size())) {
            std::span<const uint8_t> part(chunk.data(), got);
            WriteBytes(target, part);
            crc = CrcCombineAppend(crc, part);
          }
          out.stored = 1;
          out.crc = crc;
        }
      } else {
        // An entry of the previous archive: read it back (inflated) and write it anew.
        MemoryStream plain;
        ReadEntry(plain, e.Name());
        const std::vector<uint8_t>& data = plain.Data();
        WriteEntryData(target, data, static_cast<int64_t>(data.size()) > kArchiveMaxCompressed, false, out);
      }
    } catch (...) {
      if (onError) onError(std::string(kTextEntryError) + e.Name());
      throw;
    }
  }
  const int64_t end = target.Position();

  MemoryStream tables;
  {
    BinaryWriter w(tables);
    TTpRandom key(kArchiveKeyIncrement);
    for (size_t i = 0; i <= n; ++i) {
      uint64_t off = static_cast<uint64_t>(i < n ? written[i].offset : end - start);
      uint64_t k = static_cast<uint64_t>(static_cast<int64_t>(static_cast<int32_t>(key.Next())));
      w.U64(off ^ k);
    }
    for (const auto& e : written) w.U8(e.stored);
    for (const auto& e : written) w.I32(e.time);
    for (const auto& e : written) w.U32(e.crc);
    for (const auto& e : written) w.U8(e.coverage);
  }
  target.Seek(tablesAt);
  WriteBytes(target, tables.Data());
  target.Seek(end);
  return true;
}

}  // namespace vorn
