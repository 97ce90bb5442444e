// vornpack: the authoring-side archive tool. Packs a game folder into a version-102 archive
// (or onto a copy of the player executable with the "vz" trailer), and lists, extracts and
// verifies archives. Built on the player's own archive code.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "resources/archive.h"
#include "resources/cp932.h"
#include "resources/error.h"
#include "resources/file_stream.h"
#include "resources/install_set.h"
#include "resources/name_resolver.h"
#include "resources/zlib_codec.h"
#include "script/project_setting.h"

namespace vorn {
namespace {

using namespace disk;

int Usage() {
  std::fprintf(stderr,
               "usage: vornpack pack FOLDER OUT            pack a game folder into an archive\n"
               "       vornpack append PLAYER FOLDER OUT   player executable + archive + trailer\n"
               "                                           (adds a full-install install.dat when\n"
               "                                           the folder has none)\n"
               "       vornpack list ARCHIVE               entries with size, flags and CRC\n"
               "       vornpack extract ARCHIVE [FOLDER]   write every entry below FOLDER\n"
               "       vornpack verify ARCHIVE             check every entry's CRC\n");
  return 2;
}

// Every file below folder, as virtual names ('\' between folders), sorted.
void CollectFiles(const std::string& root, const std::string& sub, std::vector<std::string>& out) {
  std::vector<std::string> names = ListDirectory(root + sub);
  std::sort(names.begin(), names.end());
  for (const std::string& n : names) {
    std::string rel = sub + n;
    if (IsDirectory(root + rel)) {
      CollectFiles(root, rel + "/", out);
    } else if (IsRegularFile(root + rel)) {
      out.push_back(rel);
    }
  }
}

std::string ToVirtual(const std::string& relUtf8) {
  std::string cp = Utf8ToCp932(relUtf8);
  if (Cp932ToUtf8(cp) != relUtf8) {
    throw EVornError(relUtf8 + ": the file name has characters that Shift-JIS cannot hold");
  }
  std::replace(cp.begin(), cp.end(), '/', '\\');
  return cp;
}

// Fills a folder collection with every file of the folder.
void FillFromFolder(TVrFileCollection& c, const std::string& folder) {
  if (!IsDirectory(folder)) throw EVornError(folder + ": not a folder");
  c.OpenArchive(WithTrailingSlash(folder));
  std::vector<std::string> files;
  CollectFiles(WithTrailingSlash(folder), "", files);
  for (const std::string& rel : files) {
    std::string name = ToVirtual(rel);
    if (c.IndexOfName(name) >= 0) throw EVornError(folder + ": " + rel + ": differs from another file only in case");
    c.AddName(name)->CrcOfContent = 1;
  }
}

void PrintEntryError(const std::string& message) {
  std::fprintf(stderr, "vornpack: %s\n", Cp932ToUtf8(message).c_str());
}

// Writes `head` bytes of `player` (when given), then the archive, then the trailer, into a
// temporary file that replaces `out` only when everything was written.
void WriteOutput(const std::string& out, const std::string& player, const TVrFileCollection& c) {
  std::string tmp = out + ".tmp~" + std::to_string(::getpid());
  try {
    auto f = FileStream::Open(tmp, FileStream::Mode::Create);
    int64_t start = 0;
    if (!player.empty()) {
      auto p = FileStream::Open(player, FileStream::Mode::Read);
      std::vector<uint8_t> buf(1 << 20);
      while (size_t n = p->Read(buf.data(), buf.size())) f->Write(buf.data(), n);
      start = f->Position();
    }
    c.WriteArchive(*f, PrintEntryError);
    if (!player.empty()) WriteExecutableTrailer(*f, start);
    f->Flush();
    f.reset();
    if (!player.empty()) ::chmod(tmp.c_str(), 0755);
    if (::rename(tmp.c_str(), out.c_str()) != 0) throw EVornError(out + ": cannot replace the file");
  } catch (...) {
    RemoveFile(tmp);
    throw;
  }
}

// A player started without a folder plays only an installed game: it wants an install.dat.
// An executable with its game appended is a complete installation, so a folder without one
// gets a full-install record (titled after the project) as an extra entry.
void AddInstallRecord(TVrFileCollection& c, const std::string& folder) {
  if (c.IndexOfName("install.dat") >= 0) return;
  TVornInstallSet set;
  set.fullInstall = 1;
  set.diskNumber = 0;
  if (c.IndexOfName("vorn.vpb") >= 0) {
    MemoryStream m;
    c.ReadEntry(m, "vorn.vpb");
    TProjectSetting project;
    try {
      project.LoadFromBytes(m.Data());
      set.title = project.title;
    } catch (const EVornError& e) {
      throw EVornError(folder + ": vorn.vpb: " + e.what());
    }
  }
  TVrFile* e = c.AddMemoryFile("install.dat");
  set.SaveToStream(*e->Memory);
  e->CrcOfContent = 1;
  std::printf("install.dat added (full install)\n");
}

int Pack(const std::string& folder, const std::string& out, const std::string& player) {
  TVrFileCollection c;
  FillFromFolder(c, folder);
  if (!player.empty()) AddInstallRecord(c, folder);
  WriteOutput(out, player, c);
  std::printf("%s: %d entries\n", out.c_str(), c.Count());
  return 0;
}

// Opens an existing archive file; a missing path would otherwise open as an empty folder
// collection and be reported as an archive without entries.
void OpenExisting(TVrFileCollection& c, const std::string& path) {
  if (!IsRegularFile(path)) throw EVornError(path + ": no such archive file");
  c.OpenArchive(path);
}

int List(const std::string& path) {
  TVrFileCollection c;
  OpenExisting(c, path);
  std::printf("%s: version %d, %d entries\n", path.c_str(), c.Version(), c.Count() - 1);
  for (int i = 0; i + 1 < c.Count(); ++i) {
    const TVrFile* e = c.Item(i);
    std::printf("%12lld %s %08X %s %08X %s\n", static_cast<long long>(e->Size), e->Stored ? "stored" : "zlib  ",
                e->Crc, e->CrcOfContent ? "content" : "stored ", static_cast<uint32_t>(e->Time),
                Cp932ToUtf8(e->Name()).c_str());
  }
  return 0;
}

int Extract(const std::string& path, const std::string& folder) {
  TVrFileCollection c;
  OpenExisting(c, path);
  std::string root = WithTrailingSlash(folder.empty() ? "." : folder);
  // Every name is checked before anything is written, so a hostile archive writes nothing.
  for (int i = 0; i + 1 < c.Count(); ++i) {
    const std::string& name = c.Item(i)->Name();
    if (!NameResolver::IsSafeName(name) || NameResolver::Components(name).empty()) {
      throw EVornError(path + ": entry " + Cp932ToUtf8(name) + ": refused name (it would leave the target folder)");
    }
  }
  for (int i = 0; i + 1 < c.Count(); ++i) {
    const TVrFile* e = c.Item(i);
    std::string rel;
    for (const std::string& part : NameResolver::Components(e->Name())) {
      rel += (rel.empty() ? "" : "/") + Cp932ToUtf8(part);
    }
    // Create the folders along the path (the target folder included), then the file.
    const std::string full = root + rel;
    for (size_t k = 1; k < full.size(); ++k) {
      if (full[k] == '/') ::mkdir(full.substr(0, k).c_str(), 0755);
    }
    MemoryStream m;
    try {
      c.ReadEntryData(m, *e);
    } catch (const EVornError& err) {
      throw EVornError(path + ": entry " + Cp932ToUtf8(e->Name()) + ": " + err.what());
    }
    WriteFileAtomic(root + rel, m.Data().data(), m.Data().size());
  }
  std::printf("%s: %d entries extracted\n", path.c_str(), c.Count() - 1);
  return 0;
}

int Verify(const std::string& path) {
  TVrFileCollection c;
  OpenExisting(c, path);
  int bad = 0;
  for (int i = 0; i + 1 < c.Count(); ++i) {
    const TVrFile* e = c.Item(i);
    std::string name = Cp932ToUtf8(e->Name());
    try {
      std::vector<uint8_t> stored(static_cast<size_t>(e->Size));
      if (c.Source()->ReadAt(e->Offset, stored.data(), stored.size()) != stored.size()) {
        throw EFormatError("the archive ends inside the entry");
      }
      std::vector<uint8_t> content;
      if (e->Stored) {
        content = stored;
      } else if (!stored.empty()) {
        InflateInto(stored, content, "data");
      }
      if (c.Version() >= 101) {
        uint32_t crc = Crc32(e->CrcOfContent ? content : stored);
        if (crc != e->Crc) {
          char msg[64];
          std::snprintf(msg, sizeof msg, "CRC %08X, expected %08X", crc, e->Crc);
          throw EFormatError(msg);
        }
      }
    } catch (const EVornError& err) {
      std::fprintf(stderr, "vornpack: %s: entry %s: %s\n", path.c_str(), name.c_str(), err.what());
      ++bad;
    }
  }
  if (bad) {
    std::fprintf(stderr, "vornpack: %s: %d of %d entries damaged\n", path.c_str(), bad, c.Count() - 1);
    return 1;
  }
  std::printf("%s: %d entries OK%s\n", path.c_str(), c.Count() - 1, c.Version() >= 101 ? "" : " (no CRCs before version 101)");
  return 0;
}

}  // namespace
}  // namespace vorn

int main(int argc, char** argv) {
  std::vector<std::string> a(argv + 1, argv + argc);
  if (a.empty()) return vorn::Usage();
  try {
    const std::string& cmd = a[0];
    if (cmd == "pack" && a.size() == 3) return vorn::Pack(a[1], a[2], "");
    if (cmd == "append" && a.size() == 4) return vorn::Pack(a[2], a[3], a[1]);
    if (cmd == "list" && a.size() == 2) return vorn::List(a[1]);
    if (cmd == "extract" && (a.size() == 2 || a.size() == 3)) return vorn::Extract(a[1], a.size() == 3 ? a[2] : "");
    if (cmd == "verify" && a.size() == 2) return vorn::Verify(a[1]);
    return vorn::Usage();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vornpack: %s\n", vorn::Cp932ToUtf8(e.what()).c_str());
    return 1;
  }
}
