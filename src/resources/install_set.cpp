// install.dat reading by version and writing at version 108. Every field gate is written once,
// in file order, in Load; Save mirrors it for the one version it writes.
#include "install_set.h"

#include "binary_reader.h"
#include "error.h"
#include "file_stream.h"
#include "sjis_case.h"

namespace vorn {

namespace {

int ParseVersion(const std::string& digits) {
  int v = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    v = v * 10 + (c - '0');
  }
  return v;
}

std::vector<std::string> ReadList(BinaryReader& r, const char* field, bool skipEmpty) {
  int32_t n = r.Count(field, 4);
  std::vector<std::string> list;
  list.reserve(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) {
    std::string s = r.CountedString(field);
    if (!skipEmpty || !s.empty()) list.push_back(std::move(s));
  }
  return list;
}

void WriteList(BinaryWriter& w, const std::vector<std::string>& list) {
  w.I32(static_cast<int32_t>(list.size()));
  for (const std::string& s : list) w.CountedString(s);
}

}  // namespace

void TVornInstallSet::LoadFromStream(Stream& s) {
  BinaryReader r(s, "install.dat");
  TVornInstallSet n;
  int64_t start = s.Position();
  if (r.Remaining() >= 2 && r.FixedString(2, "magic") == "is") {
    n.version = ParseVersion(r.FixedString(3, "version"));
  } else {
    s.Seek(start);
    n.version = 0;
  }
  const int v = n.version;
  n.diskNumber = r.I32("disk number");
  n.title = r.CountedString("title");
  for (std::string& str : n.settings) str = r.CountedString("setting");
  n.option7 = r.U8("option 7");
  n.string8 = r.CountedString("string 8");
  n.option9 = r.U8("option 9");
  int32_t records = r.I32("size record count");
  const size_t sizeWidth = v >= 100 ? 8 : 4;
  // The records come later in the file, so they must at least fit in what is left now.
  r.RequireFits(records, 4 * sizeWidth, "size record count");
  n.string11 = r.CountedString("string 11");
  n.value12 = r.I32("value 12");
  n.option13 = r.U8("option 13");
  n.option14 = r.U8("option 14");
  n.string15 = r.CountedString("string 15");
  n.string16 = r.CountedString("string 16");
  auto readSize = [&](const char* field) -> int64_t {
    // Before version 100 a size is 4 bytes and fills the low half.
    return v >= 100 ? r.I64(field) : static_cast<int64_t>(r.U32(field));
  };
  for (auto& column : n.sizes) column.reserve(static_cast<size_t>(records));
  for (int32_t i = 0; i < records; ++i) {
    for (auto& column : n.sizes) column.push_back(readSize("size record"));
  }
  for (int64_t& t : n.totals) t = readSize("size total");
  n.option19 = r.U8("option 19");
  if (v >= 101) n.option20 = r.U8("option 20");
  if (v >= 102) n.installedFiles = ReadList(r, "installed-file list", true);
  if (v >= 103) n.fullInstall = r.U8("full-install flag");
  if (v >= 104) n.option23 = r.U8("option 23");
  if (v >= 105) n.option24 = r.U8("option 24");
  if (v >= 106) n.secondList = ReadList(r, "second list", false);
  if (v >= 107) n.string26 = r.CountedString("string 26");
  if (v >= 108) {
    n.string27 = r.CountedString("string 27");
    n.string28 = r.CountedString("string 28");
  }
  *this = std::move(n);
}

void TVornInstallSet::LoadFromFile(const std::string& nativePath) {
  auto file = FileStream::Open(nativePath, FileStream::Mode::Read);
  LoadFromStream(*file);
}

void TVornInstallSet::SaveToStream(Stream& s) const {
  const size_t records = sizes[0].size();
  for (const auto& column : sizes) {
    if (column.size() != records) throw EVornError("install.dat: the size arrays differ in length");
  }
  BinaryWriter w(s);
  w.FixedString("is" + std::to_string(kWriteVersion));
  w.I32(diskNumber);
  w.CountedString(title);
  for (const std::string& str : settings) w.CountedString(str);
  w.U8(option7);
  w.CountedString(string8);
  w.U8(option9);
  w.I32(static_cast<int32_t>(records));
  w.CountedString(string11);
  w.I32(value12);
  w.U8(option13);
  w.U8(option14);
  w.CountedString(string15);
  w.CountedString(string16);
  for (size_t i = 0; i < records; ++i) {
    for (const auto& column : sizes) w.I64(column[i]);
  }
  for (int64_t t : totals) w.I64(t);
  w.U8(option19);
  w.U8(option20);
  WriteList(w, installedFiles);
  w.U8(fullInstall);
  w.U8(option23);
  w.U8(option24);
  WriteList(w, secondList);
  w.CountedString(string26);
  w.CountedString(string27);
  w.CountedString(string28);
}

void TVornInstallSet::SaveToFile(const std::string& nativePath) const {
  MemoryStream m;
  SaveToStream(m);
  disk::WriteFileAtomic(nativePath, m.Data().data(), m.Data().size());
}

int TVornInstallSet::IndexOfFile(std::string_view name) const {
  for (size_t i = 0; i < installedFiles.size(); ++i) {
    if (SameText(installedFiles[i], name)) return static_cast<int>(i);
  }
  return -1;
}

void TVornInstallSet::AddFile(const std::string& name) {
  if (IndexOfFile(name) < 0) installedFiles.push_back(name);
}

}  // namespace vorn
