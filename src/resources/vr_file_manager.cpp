// The virtual file manager's lookups, temporary copies and collection list. Disk changes and
// the installation search are in vr_disks.cpp.
#include "vr_file_manager.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "cp932.h"
#include "error.h"
#include "file_stream.h"
#include "path_parser.h"
#include "sjis_case.h"
#include "vr_texts.h"

namespace vorn {

using namespace disk;

namespace {

std::string FormatMissing(const std::string& name) {
  std::string text = kTextFileMissing;
  text.replace(text.find("%s"), 2, name);
  return text;
}

void EmptyIfMemory(Stream& target) {
  if (auto* mem = dynamic_cast<MemoryStream*>(&target)) {
    mem->Data().clear();
    mem->Seek(0);
  }
}

// The extension of a virtual name ('.' after the last folder separator), as it goes to disk.
std::string VirtualExtension(const std::string& name) {
  size_t dot = std::string::npos;
  for (size_t i = 0; i < name.size(); ++i) {
    uint8_t b = static_cast<uint8_t>(name[i]);
    if (IsLeadByte(b) && i + 1 < name.size()) {
      ++i;
      continue;
    }
    if (b == '\\' || b == '/') dot = std::string::npos;
    if (b == '.') dot = i;
  }
  if (dot == std::string::npos) return {};
  std::string ext = Cp932ToUtf8(name.substr(dot));
  // The extension becomes part of a path: keep it to characters that cannot escape the folder.
  if (ext.find('/') != std::string::npos) return {};
  return ext;
}

// Undoes the octal escapes (\040 for a space) of a mount table field.
std::string UnescapeMountField(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 3 < s.size()) {
      int v = (s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0');
      out += static_cast<char>(v);
      i += 3;
    } else {
      out += s[i];
    }
  }
  return out;
}

}  // namespace

TVrFileManager::TVrFileManager(EngineState& state, VrFileManagerOptions options)
    : state_(state), options_(std::move(options)) {
  if (options_.cdRoots) {
    for (const auto& r : *options_.cdRoots) cdRoots_.push_back(WithTrailingSlash(r));
  } else {
    cdRoots_ = ScanCdRoots();
  }
  SweepAbandonedTempFolders(TempParent());
}

TVrFileManager::~TVrFileManager() {
  collections_.clear();
  for (const LockData& lock : locks_) pendingDeletion_.push_back(lock.path);
  locks_.clear();
  DeletePending();
  // The folder is ours alone: anything left in it is a copy of ours.
  tempDir_.reset();
}

std::vector<std::string> TVrFileManager::ScanCdRoots() const {
  std::vector<std::string> roots;
  std::ifstream in(options_.mountInfoPath);
  std::string line;
  while (std::getline(in, line)) {
    // id parent major:minor root mount-point options [optional fields] - fstype source ...
    size_t dash = line.find(" - ");
    if (dash == std::string::npos) continue;
    std::vector<std::string> head;
    size_t pos = 0;
    while (pos < dash && head.size() < 5) {
      size_t sp = line.find(' ', pos);
      if (sp == std::string::npos || sp > dash) sp = dash;
      head.push_back(line.substr(pos, sp - pos));
      pos = sp + 1;
    }
    size_t typeEnd = line.find(' ', dash + 3);
    std::string type = line.substr(dash + 3, typeEnd == std::string::npos ? std::string::npos : typeEnd - dash - 3);
    if (head.size() == 5 && (type == "iso9660" || type == "udf")) {
      roots.push_back(WithTrailingSlash(UnescapeMountField(head[4])));
    }
  }
  return roots;
}

void TVrFileManager::SetBaseFolder(const std::string& folder) { baseFolder_ = WithTrailingSlash(folder); }

int TVrFileManager::AddArchive(const std::string& name) {
  for (const auto& c : collections_) {
    if (SameText(c->FolderPath(), name) || (!name.empty() && c->ArchiveFileName() == name)) return -1;
  }
  auto c = std::make_unique<TVrFileCollection>();
  c->SetResolver(&resolver_);
  c->SetPartSize(options_.partSize);
  c->OpenArchive(name);
  return AddCollection(std::move(c));
}

int TVrFileManager::AddCollection(std::unique_ptr<TVrFileCollection> collection) {
  collection->SetResolver(&resolver_);
  collections_.push_back(std::move(collection));
  return CollectionCount() - 1;
}

bool TVrFileManager::AddResourceArchive(const std::string&, const std::string&) { return false; }

void TVrFileManager::RemoveCollection(int index) {
  if (index < 0 || index >= CollectionCount()) return;
  collections_.erase(collections_.begin() + index);
}

void TVrFileManager::Clear() { collections_.clear(); }

TVrFileCollection* TVrFileManager::MemoryCollection() {
  if (collections_.empty()) return nullptr;
  TVrFileCollection& c = *collections_.front();
  return (c.ArchiveFileName().empty() && c.FolderPath().empty() && !c.HasSource()) ? &c : nullptr;
}

void TVrFileManager::RegisterStartupSources(const std::vector<std::string>& args) {
  AddArchive("");
  if (args.empty()) {
    std::string exe = options_.executablePath.empty() ? ExecutablePath() : options_.executablePath;
    SetBaseFolder(NativeFolderOf(exe));
    if (!exe.empty() && EndsWithVz(exe)) AddArchive(exe);
    return;
  }
  SetBaseFolder(args.front());
  for (const std::string& p : args) {
    std::string dat = WithTrailingSlash(p) + "game.dat";
    if (IsRegularFile(dat)) AddArchive(dat);
    if (IsRegularFile(p) && EndsWithVz(p)) AddArchive(p);
  }
}

std::optional<std::string> TVrFileManager::DiskFile(const std::string& root, std::string_view name) {
  if (root.empty() || name.empty()) return std::nullopt;
  auto path = resolver_.Resolve(root, name);
  if (!path || !IsRegularFile(*path)) return std::nullopt;
  return path;
}

std::optional<std::string> TVrFileManager::BaseFile(std::string_view name) { return DiskFile(baseFolder_, name); }

std::optional<std::string> TVrFileManager::CdFile(std::string_view name) {
  for (const std::string& root : cdRoots_) {
    if (auto p = DiskFile(root, name)) return p;
  }
  return std::nullopt;
}

TVrFile* TVrFileManager::FindEntry(std::string_view name) {
  for (const auto& c : collections_) {
    if (TVrFile* e = c->Find(name)) return e;
  }
  return nullptr;
}

bool TVrFileManager::FileExists(std::string_view name) {
  if (name.empty()) return false;
  if (FindEntry(name)) return true;
  if (BaseFile(name)) return true;
  return CdFile(name).has_value();
}

void TVrFileManager::LoadDiskFile(Stream& target, const std::string& path) {
  auto f = FileStream::Open(path, FileStream::Mode::Read);
  int64_t size = f->Size();
  if (auto* mem = dynamic_cast<MemoryStream*>(&target)) {
    mem->Data().resize(static_cast<size_t>(size));
    f->ReadExact(mem->Data().data(), mem->Data().size(), path.c_str());
  } else {
    std::vector<uint8_t> chunk(static_cast<size_t>(std::clamp<int64_t>(size, 1, 1 << 20)));
    while (size_t n = f->Read(chunk.data(), chunk.size())) target.Write(chunk.data(), n);
  }
  target.Seek(0);
}

void TVrFileManager::LoadFile(Stream& target, const std::string& name) {
  EmptyIfMemory(target);
  if (auto path = BaseFile(name)) {
    LoadDiskFile(target, *path);
    return;
  }
  for (const auto& c : collections_) {
    const TVrFile* e = c->Find(name);
    if (!e) continue;
    if (e->Memory || c->HasSource()) {
      c->ReadEntryData(target, *e);
      return;
    }
  }
  if (auto path = CdFile(name)) {
    LoadDiskFile(target, *path);
    return;
  }
  throw EVornError(FormatMissing(name));
}

std::vector<uint8_t> TVrFileManager::LoadBytes(const std::string& name) {
  MemoryStream m;
  LoadFile(m, name);
  return m.Take();
}

std::string TVrFileManager::TempParent() const {
  if (!options_.tempParent.empty()) return options_.tempParent;
  const char* env = std::getenv("TMPDIR");
  return (env && *env) ? env : "/tmp";
}

void TVrFileManager::EnsureTempFolder() {
  if (tempDir_) return;
  tempDir_ = PrivateTempFolder::Create(TempParent());
  if (!tempDir_) throw EVornError(kTextTempCopyFailed);
  tempFolder_ = tempDir_->Path();
}

std::string TVrFileManager::MakeTempCopy(const std::string& name) {
  EnsureTempFolder();
  int32_t id = nextLockId_;
  auto taken = [&](int32_t v) {
    for (const LockData& l : locks_) {
      if (l.id == v) return true;
    }
    return false;
  };
  do {
    ++nextLockId_;
  } while (taken(nextLockId_));
  char stem[16];
  std::snprintf(stem, sizeof stem, "~vz%08X", static_cast<uint32_t>(id));
  std::string path = tempFolder_ + stem + VirtualExtension(name);
  std::unique_ptr<FileStream> f = FileStream::TryOpen(path, FileStream::Mode::Create);
  if (!f) throw EVornError(kTextTempCopyFailed);
  try {
    LoadFile(*f, name);
  } catch (...) {
    // A failed copy leaves neither a file nor a record behind.
    f.reset();
    RemoveFile(path);
    throw;
  }
  f.reset();
  locks_.push_back(LockData{name, id, path});
  return path;
}

std::string TVrFileManager::GetLocalFileName(const std::string& name) {
  if (auto path = BaseFile(name)) return *path;
  if (FindEntry(name)) {
    for (const LockData& l : locks_) {
      if (l.name == name) return l.path;
    }
    return MakeTempCopy(name);
  }
  if (auto path = CdFile(name)) return *path;
  return name;
}

void TVrFileManager::ListFiles(const std::string& folder, std::vector<std::string>& list) {
  for (const auto& c : collections_) c->ListFolder(folder, list);
  std::string prefix = folder;
  if (!prefix.empty() && FolderOf(prefix).size() != prefix.size()) prefix += '\\';
  auto listRoot = [&](const std::string& root) {
    if (root.empty()) return;
    auto dir = resolver_.ResolveFolder(root, folder);
    if (!dir) return;
    for (const std::string& n : resolver_.ListPlainFiles(*dir)) list.push_back(prefix + n);
  };
  listRoot(baseFolder_);
  for (const std::string& root : cdRoots_) listRoot(root);
}

std::unique_ptr<TRangeStream> TVrFileManager::OpenRange(const std::string& name) {
  if (auto path = BaseFile(name)) return TRangeStream::OverFile(*path);
  for (const auto& c : collections_) {
    if (auto r = c->OpenEntryRange(name)) return r;
  }
  if (auto path = CdFile(name)) return TRangeStream::OverFile(*path);
  throw EVornError(FormatMissing(name));
}

std::string TVrFileManager::FolderOf(std::string_view name) {
  size_t cut = LastDelimiter(name, "\\/") + 1;  // npos + 1 is 0
  if (cut == 0 && name.size() >= 2 && name[1] == ':') cut = 2;  // "C:name"
  return std::string(name.substr(0, cut));
}

void TVrFileManager::DeletePending() {
  for (const std::string& p : pendingDeletion_) RemoveFile(p);  // errors ignored
  pendingDeletion_.clear();
}

void TVrFileManager::Age(uint32_t deltaMs) {
  // Copies stay until the manager ends; a frame only carries out the queued deletions.
  agedMs_ += deltaMs;
  DeletePending();
}

}  // namespace vorn
