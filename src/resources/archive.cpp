// Opening archives and reading their indexes and entries.
#include "archive.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "binary_reader.h"
#include "error.h"
#include "path_parser.h"
#include "sjis_case.h"
#include "tp_random.h"
#include "vr_texts.h"
#include "zlib_codec.h"

namespace vorn {

using namespace disk;

namespace {

std::string LowerExtension(const std::string& path) {
  size_t slash = path.find_last_of('/');
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

std::string ChangeExtension(const std::string& path, const std::string& ext) {
  size_t slash = path.find_last_of('/');
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + ext;
  return path.substr(0, dot) + ext;
}

std::string FormatMissing(const std::string& name) {
  std::string text = kTextFileMissing;
  text.replace(text.find("%s"), 2, name);
  return text;
}

// The folder part of a virtual name: up to and including its last '\' or '/' that is not
// the trail byte of a two-byte character.
std::string VirtualFolderPart(std::string_view name) {
  return std::string(name.substr(0, LastDelimiter(name, "\\/") + 1));  // npos + 1 is 0
}

std::string SlashesToBackslashes(std::string s) {
  // '/' (0x2F) is never a trail byte, so it can be replaced without decoding.
  std::replace(s.begin(), s.end(), '/', '\\');
  return s;
}

}  // namespace

bool EndsWithVz(const std::string& path) {
  auto f = FileStream::TryOpen(path, FileStream::Mode::Read);
  if (!f) return false;
  int64_t size = f->Size();
  if (size < 2) return false;
  char tail[2];
  return f->ReadAt(size - 2, tail, 2) == 2 && tail[0] == 'v' && tail[1] == 'z';
}

int64_t ReadExecutableTrailer(const TTpBigStream& exe, const std::string& what) {
  int64_t size = exe.Size();
  if (size < 2) return -1;
  uint8_t t[6];
  if (exe.ReadAt(size - 2, t + 4, 2) != 2 || t[4] != 'v' || t[5] != 'z') return -1;
  if (size < 6 || exe.ReadAt(size - 6, t, 4) != 4) throw EFormatError(what + ": archive trailer: file too short");
  int32_t start = static_cast<int32_t>(t[0] | (t[1] << 8) | (t[2] << 16) | (static_cast<uint32_t>(t[3]) << 24));
  if (start < 0 || start > size - 6) {
    throw EFormatError(what + ": archive trailer: start " + std::to_string(start) + " outside the " +
                       std::to_string(size) + "-byte file");
  }
  return start;
}

void WriteExecutableTrailer(Stream& out, int64_t archiveStart) {
  if (archiveStart < 0 || archiveStart > INT32_MAX) throw EVornError("archive trailer: start beyond 2 GiB");
  BinaryWriter w(out);
  w.I32(static_cast<int32_t>(archiveStart));
  w.FixedString("vz");
}

void TVrFileCollection::Reset() {
  Clear();
  source_.reset();
  version_ = 0;
}

NameResolver& TVrFileCollection::Resolver() const {
  if (resolver_) return *resolver_;
  if (!ownResolver_) ownResolver_ = std::make_unique<NameResolver>();
  return *ownResolver_;
}

void TVrFileCollection::OpenArchive(const std::string& name) {
  Reset();
  fileName_ = name;
  folder_.clear();
  if (name.empty()) return;
  if (!IsRegularFile(name)) {
    folder_ = WithTrailingSlash(name);
    return;
  }
  folder_ = NativeFolderOf(name);
  if (folder_.empty()) folder_ = "./";
  auto src = std::make_shared<TTpBigFileStream>(name, TTpBigFileStream::Mode::Read, partSize_);
  std::string ext = LowerExtension(name);
  int64_t size = src->Size();
  if (ext == ".exe" || ext == ".scr" || ext.empty()) {
    int64_t start = ReadExecutableTrailer(*src, name);
    if (start >= 0) {
      src->Seek(start);
      ReadIndex(*src, size);
      source_ = std::move(src);
      return;
    }
    if (!ext.empty()) throw EFormatError(name + ": no archive trailer (\"vz\") at the end of the executable");
  } else {
    std::string side = ChangeExtension(name, ".ext");
    if (IsRegularFile(side)) {
      TTpBigMemoryStream index;
      index.LoadFromFile(side);
      ReadIndex(index, size);
      source_ = std::move(src);
      return;
    }
  }
  // Any other file without the "vf" magic that ends in a valid trailer is an executable with
  // an archive appended under another name (a player copied as "game.bin").
  char magic[2] = {0, 0};
  if (src->ReadAt(0, magic, 2) == 2 && !(magic[0] == 'v' && magic[1] == 'f') && !ext.empty()) {
    int64_t start = -1;
    try {
      start = ReadExecutableTrailer(*src, name);
    } catch (const EFormatError&) {
      start = -1;  // no usable trailer: a headerless archive
    }
    if (start >= 0) {
      src->Seek(start);
      ReadIndex(*src, size);
      source_ = std::move(src);
      return;
    }
  }
  src->Seek(0);
  ReadIndex(*src, size);
  source_ = std::move(src);
}

void TVrFileCollection::OpenStream(std::shared_ptr<TTpBigStream> source, std::string folder) {
  Reset();
  fileName_.clear();
  folder_ = std::move(folder);
  if (!source) return;
  ReadIndex(*source, source->Size());
  source_ = std::move(source);
}

bool TVrFileCollection::OpenResourceArchive(const std::string&, const std::string&) {
  // Executables on Linux carry no resources; the archive is appended with a trailer instead.
  Reset();
  return false;
}

void TVrFileCollection::ReadIndex(Stream& index, int64_t dataSize) {
  Clear();
  const int64_t base = index.Position();
  BinaryReader r(index, fileName_.empty() ? std::string("archive index") : fileName_ + ": archive index");
  int32_t version = 0;
  if (r.Remaining() >= 2) {
    char magic[2];
    r.Bytes(magic, 2, "magic");
    if (magic[0] == 'v' && magic[1] == 'f') {
      version = r.I32("version");
    } else {
      index.Seek(base);
    }
  }
  const int32_t n = r.Count("entry count", 4);

  std::vector<std::string> names(static_cast<size_t>(n));
  {
    TTpBuffBigStream buffered(index);
    BinaryReader nr(buffered, r.context());
    for (auto& name : names) {
      int32_t len = nr.I32("name length");
      if (len < 0) nr.Fail("name length", "negative length " + std::to_string(len));
      name = nr.FixedString(static_cast<size_t>(len), "name");
    }
  }
  if (version >= 100) {
    TTpRandom key(kArchiveKeyIncrement);
    for (auto& name : names) {
      for (char& c : name) c = static_cast<char>(static_cast<uint8_t>(c) ^ static_cast<uint8_t>(key.Next()));
    }
  }

  const size_t count = static_cast<size_t>(n) + 1;
  std::vector<int64_t> offsets(count);
  {
    TTpRandom key(kArchiveKeyIncrement);
    if (version >= 101) {
      r.RequireFits(static_cast<int64_t>(count), 8, "offsets");
      for (auto& off : offsets) {
        uint32_t v = key.Next();
        uint64_t k = static_cast<uint64_t>(static_cast<int64_t>(static_cast<int32_t>(v)));
        off = static_cast<int64_t>(r.U64("offset") ^ k);
      }
    } else {
      r.RequireFits(static_cast<int64_t>(count), 4, "offsets");
      for (auto& off : offsets) {
        uint32_t v = key.Next();
        uint32_t raw = r.U32("offset");
        // Offsets before version 101 are unsigned 32-bit values.
        off = static_cast<int64_t>(version >= 100 ? raw ^ v : raw);
      }
    }
  }
  std::vector<uint8_t> stored(n), coverage(n);
  std::vector<uint32_t> times(n), crcs(n);
  if (version >= 101) {
    r.RequireFits(n, version >= 102 ? 10 : 9, "entry tables");
    r.Bytes(stored.data(), stored.size(), "stored flags");
    for (auto& t : times) t = r.U32("file time");
    for (auto& c : crcs) c = r.U32("CRC");
    if (version >= 102) r.Bytes(coverage.data(), coverage.size(), "CRC coverage flags");
  }

  // The offsets must climb through the data and end inside it; anything else would read
  // outside the archive or give an entry a negative size.
  for (size_t i = 0; i < count; ++i) {
    if (offsets[i] < 0 || (i > 0 && offsets[i] < offsets[i - 1])) {
      r.Fail("offsets", "offset " + std::to_string(i) + " (" + std::to_string(offsets[i]) + ") is not ascending");
    }
  }
  if (offsets[count - 1] > dataSize - base) {
    r.Fail("offsets", "end of data " + std::to_string(offsets[count - 1]) + " lies beyond the " +
                          std::to_string(dataSize - base) + " bytes of the archive");
  }

  for (int32_t i = 0; i < n; ++i) {
    auto e = std::make_unique<TVrFile>(std::move(names[static_cast<size_t>(i)]));
    e->Offset = base + offsets[static_cast<size_t>(i)];
    e->Size = offsets[static_cast<size_t>(i) + 1] - offsets[static_cast<size_t>(i)];
    e->Stored = stored[static_cast<size_t>(i)];
    e->Time = static_cast<int32_t>(times[static_cast<size_t>(i)]);
    e->Crc = crcs[static_cast<size_t>(i)];
    e->CrcOfContent = coverage[static_cast<size_t>(i)];
    Add(std::move(e));
  }
  auto sentinel = std::make_unique<TVrFile>(std::string(kArchiveSentinel));
  sentinel->Offset = base + offsets[count - 1];
  Add(std::move(sentinel));
  version_ = version;
}

TVrFile* TVrFileCollection::AddName(const std::string& name) { return Emplace(name); }

TVrFile* TVrFileCollection::AddMemoryFile(const std::string& name) {
  TVrFile* e = Emplace(name);
  e->Memory = std::make_unique<MemoryStream>();
  return e;
}

void TVrFileCollection::RemoveEntry(std::string_view name) {
  int i = IndexOfName(name);
  if (i >= 0) Delete(i);
}

std::string TVrFileCollection::DiskPathOf(std::string_view name) const {
  if (folder_.empty() || name.empty()) return {};
  auto path = Resolver().Resolve(folder_, name);
  if (!path || !IsRegularFile(*path)) return {};
  if (!fileName_.empty() && *path == fileName_) return {};
  return *path;
}

void TVrFileCollection::ReadEntryData(Stream& target, const TVrFile& e) const {
  auto* mem = dynamic_cast<MemoryStream*>(&target);
  if (mem) {
    mem->Data().clear();
    mem->Seek(0);
  }
  if (e.Memory) {
    const auto& d = e.Memory->Data();
    if (mem) {
      mem->Data() = d;
    } else {
      target.Write(d.data(), d.size());
    }
    target.Seek(0);
    return;
  }
  if (!source_) throw EVornError(FormatMissing(e.Name()));
  if (e.Size > 0) {
    const std::string what = (fileName_.empty() ? std::string("archive") : fileName_) + ": entry " + e.Name();
    auto readStored = [&](uint8_t* out, int64_t pos, size_t n) {
      if (source_->ReadAt(pos, out, n) != n) throw EFormatError(what + ": the archive ends inside the entry");
    };
    if (e.Stored) {
      if (mem) {
        mem->Data().resize(static_cast<size_t>(e.Size));
        readStored(mem->Data().data(), e.Offset, mem->Data().size());
      } else {
        std::vector<uint8_t> chunk(static_cast<size_t>(std::min<int64_t>(e.Size, 1 << 20)));
        for (int64_t done = 0; done < e.Size;) {
          size_t n = static_cast<size_t>(std::min<int64_t>(e.Size - done, static_cast<int64_t>(chunk.size())));
          readStored(chunk.data(), e.Offset + done, n);
          target.Write(chunk.data(), n);
          done += static_cast<int64_t>(n);
        }
      }
    } else {
      std::vector<uint8_t> packed(static_cast<size_t>(e.Size));
      readStored(packed.data(), e.Offset, packed.size());
      if (mem) {
        InflateInto(packed, mem->Data(), what);
      } else {
        std::vector<uint8_t> plain;
        InflateInto(packed, plain, what);
        target.Write(plain.data(), plain.size());
      }
    }
  }
  target.Seek(0);
}

void TVrFileCollection::ReadEntry(Stream& target, const std::string& name) const {
  if (auto* mem = dynamic_cast<MemoryStream*>(&target)) {
    mem->Data().clear();
    mem->Seek(0);
  }
  const TVrFile* e = Find(name);
  if (e && (source_ || e->Memory)) {
    ReadEntryData(target, *e);
    return;
  }
  std::string path = DiskPathOf(name);
  if (!path.empty()) {
    auto f = FileStream::Open(path, FileStream::Mode::Read);
    int64_t size = f->Size();
    if (auto* mem = dynamic_cast<MemoryStream*>(&target)) {
      mem->Data().resize(static_cast<size_t>(size));
      f->ReadExact(mem->Data().data(), mem->Data().size(), path.c_str());
    } else {
      std::vector<uint8_t> chunk(1 << 20);
      while (size_t n = f->Read(chunk.data(), chunk.size())) target.Write(chunk.data(), n);
    }
    target.Seek(0);
    return;
  }
  throw EVornError(FormatMissing(name));
}

std::unique_ptr<TRangeStream> TVrFileCollection::OpenEntryRange(std::string_view name) const {
  if (!source_) return nullptr;
  const TVrFile* e = Find(name);
  if (!e || e->Memory) return nullptr;
  // A zero-size entry is an empty window at its offset, never the whole archive.
  return std::make_unique<TRangeStream>(source_, e->Offset, e->Size);
}

void TVrFileCollection::ListFolder(std::string_view folder, std::vector<std::string>& list) const {
  std::string want = SlashesToBackslashes(std::string(folder));
  if (!want.empty() && VirtualFolderPart(want).size() != want.size()) want += '\\';
  std::unordered_set<std::string> have;
  for (const auto& s : list) have.insert(FoldCase(s));
  for (int i = 0; i < Count(); ++i) {
    const TVrFile* e = Item(i);
    if (e->Name() == kArchiveSentinel) continue;
    if (!SameText(SlashesToBackslashes(VirtualFolderPart(e->Name())), want)) continue;
    if (have.insert(FoldCase(e->Name())).second) list.push_back(e->Name());
  }
}

}  // namespace vorn
