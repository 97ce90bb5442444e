// Fixture archives of every version, written independently of the player's writer so that the
// reader is checked against a second implementation of the layout.
#include "archive_fixture.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "resources/binary_reader.h"

namespace vorn::test {

namespace {

std::vector<uint8_t> Deflate1(const std::vector<uint8_t>& in) {
  uLongf len = compressBound(static_cast<uLong>(in.size()));
  std::vector<uint8_t> out(len);
  if (compress2(out.data(), &len, in.data(), static_cast<uLong>(in.size()), 1) != Z_OK) {
    throw std::runtime_error("fixture: deflate failed");
  }
  out.resize(len);
  return out;
}

uint32_t Crc(const std::vector<uint8_t>& b) {
  return static_cast<uint32_t>(crc32(crc32(0, Z_NULL, 0), b.data(), static_cast<uInt>(b.size())));
}

// The keystream: state <- state * 5 + 0x5A3C9E21.
struct Key {
  uint32_t state = 0;
  uint32_t Next() { return state = state * 5u + 0x5A3C9E21u; }
};

}  // namespace

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

void WriteFixtureArchive(Stream& out, const std::vector<ArchiveFixtureEntry>& entries, int version) {
  BinaryWriter w(out);
  const int64_t start = out.Position();
  if (version != 0) {
    w.FixedString("vf");
    w.I32(version);
  }
  w.I32(static_cast<int32_t>(entries.size()));
  Key nameKey;
  for (const auto& e : entries) {
    w.I32(static_cast<int32_t>(e.name.size()));
    for (char c : e.name) {
      uint8_t b = static_cast<uint8_t>(c);
      if (version >= 100) b ^= static_cast<uint8_t>(nameKey.Next());
      w.U8(b);
    }
  }
  std::vector<std::vector<uint8_t>> data;
  std::vector<uint32_t> crcs;
  for (const auto& e : entries) {
    bool stored = version >= 101 && e.stored;
    data.push_back(stored ? e.content : Deflate1(e.content));
    crcs.push_back(e.crcOfContent && version >= 102 ? Crc(e.content) : Crc(data.back()));
  }
  const size_t n = entries.size();
  const int64_t offWidth = version >= 101 ? 8 : 4;
  int64_t tables = version >= 101 ? static_cast<int64_t>(n) * (version >= 102 ? 10 : 9) : 0;
  int64_t pos = out.Position() - start + static_cast<int64_t>(n + 1) * offWidth + tables;
  Key offKey;
  for (size_t i = 0; i <= n; ++i) {
    uint32_t k = offKey.Next();
    if (version >= 101) {
      uint64_t k64 = (k & 0x80000000u) ? (0xFFFFFFFF00000000ull | k) : k;
      w.U64(static_cast<uint64_t>(pos) ^ k64);
    } else {
      w.U32(static_cast<uint32_t>(pos) ^ (version >= 100 ? k : 0u));
    }
    if (i < n) pos += static_cast<int64_t>(data[i].size());
  }
  if (version >= 101) {
    for (const auto& e : entries) w.U8(e.stored ? 1 : 0);
    for (const auto& e : entries) w.I32(e.time);
    for (uint32_t c : crcs) w.U32(c);
    if (version >= 102) {
      for (const auto& e : entries) w.U8(e.crcOfContent ? 1 : 0);
    }
  }
  for (const auto& d : data) w.Bytes(d.data(), d.size());
}

std::vector<uint8_t> FixtureArchiveBytes(const std::vector<ArchiveFixtureEntry>& entries, int version) {
  MemoryStream m;
  WriteFixtureArchive(m, entries, version);
  return m.Take();
}

ScratchFolder::ScratchFolder() {
  const char* env = std::getenv("TMPDIR");
  std::string pattern = std::string(env && *env ? env : "/tmp") + "/vorn-test-XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (!::mkdtemp(buf.data())) throw std::runtime_error("fixture: mkdtemp failed");
  path_ = std::string(buf.data()) + "/";
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

std::string ScratchFolder::Write(const std::string& relative, const std::vector<uint8_t>& bytes) const {
  std::string full = path_ + relative;
  for (size_t i = path_.size(); i < full.size(); ++i) {
    if (full[i] == '/') ::mkdir(full.substr(0, i).c_str(), 0755);
  }
  std::ofstream f(full, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!f) throw std::runtime_error("fixture: cannot write " + full);
  return full;
}

void RemoveTree(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    if (DIR* d = ::opendir(path.c_str())) {
      while (struct dirent* e = ::readdir(d)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        std::string child = path;
        if (child.back() != '/') child += '/';
        RemoveTree(child + e->d_name);
      }
      ::closedir(d);
    }
    ::rmdir(path.c_str());
  } else {
    ::unlink(path.c_str());
  }
}

}  // namespace vorn::test
