// TVrFileManager: the one virtual file manager. It answers every file request of the engine
// from, in order, the base folder on disk, the open archives and folders (collection 0 is
// the memory collection of the scripts' in-memory files), and the roots of mounted CDs; it
// makes temporary copies for consumers that need a real path, and switches the disks of a
// multi-disk distribution. Main thread only, except the range streams it hands out.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive.h"
#include "big_stream.h"
#include "engine_state.h"
#include "name_resolver.h"
#include "private_temp_folder.h"
#include "stream.h"

namespace vorn {

// The message boxes the manager needs (disk changes, installation). The shell wires the
// platform's dialogs in; texts and captions are CP932.
class DiskPrompter {
 public:
  virtual ~DiskPrompter() = default;
  // An information box with OK and Cancel; true for OK.
  virtual bool ConfirmOkCancel(const std::string& text, const std::string& caption) = 0;
  // An information box with OK only.
  virtual void Inform(const std::string& text, const std::string& caption) = 0;
  // Asks the main window to close; called after TerminateRequested is set.
  virtual void RequestClose() {}
};

struct VrFileManagerOptions {
  // Where the private temporary folder is made (below a per-user folder, see
  // private_temp_folder.h); empty: $TMPDIR, else /tmp. The manager's construction removes
  // the folders that ended players left there.
  std::string tempParent;
  // The running executable; empty: /proc/self/exe.
  std::string executablePath;
  // The mount table scanned for CD roots (iso9660 and udf mounts).
  std::string mountInfoPath = "/proc/self/mountinfo";
  // When set, these are the CD roots and the mount table is not read.
  std::optional<std::vector<std::string>> cdRoots;
  // Part size of split archives (tests use small parts).
  int64_t partSize = kBigFilePartSize;
};

// The texts of the running project that disk changes show (CP932).
struct ProjectDiskTexts {
  std::string projectTitle;
  std::string applicationTitle;
  std::string diskChangeMessage;  // "%d" is the disk number; empty: the default text
  std::string exitMessage;        // empty: the default text
};

class TVrFileManager {
 public:
  // Also removes the temporary folders of players that ended without removing theirs.
  explicit TVrFileManager(EngineState& state, VrFileManagerOptions options = {});
  // Queues every temporary copy for deletion, deletes them and removes the private folder.
  ~TVrFileManager();
  TVrFileManager(const TVrFileManager&) = delete;
  TVrFileManager& operator=(const TVrFileManager&) = delete;

  void SetPrompter(DiskPrompter* prompter) { prompter_ = prompter; }
  void SetProjectTexts(ProjectDiskTexts texts) { texts_ = std::move(texts); }

  // A native folder; a trailing '/' is added to a non-empty one.
  void SetBaseFolder(const std::string& folder);
  const std::string& BaseFolder() const { return baseFolder_; }

  // Opens `name` (a native path: archive file, executable with trailer, or folder) and
  // appends it; -1 when a collection for that path is already in the list. A damaged
  // archive raises EFormatError and is not added. AddArchive("") adds the memory collection.
  int AddArchive(const std::string& name);
  // Appends a collection built elsewhere (a save file held in memory, a test fixture).
  int AddCollection(std::unique_ptr<TVrFileCollection> collection);
  // Always false on Linux: executables carry no resource archive.
  bool AddResourceArchive(const std::string& resourceName, const std::string& resourceType);
  void RemoveCollection(int index);
  void Clear();
  int CollectionCount() const { return static_cast<int>(collections_.size()); }
  TVrFileCollection& Collection(int index) { return *collections_.at(static_cast<size_t>(index)); }
  // Collection 0 when it is the memory collection (opened with an empty name), else null.
  TVrFileCollection* MemoryCollection();

  // The registration the shell does at start-up: the memory collection; without arguments
  // the executable's folder as base and the executable itself when it ends in "vz"; with
  // arguments the first as base folder, and for each argument its game.dat and the argument
  // itself when it is a file ending in "vz".
  void RegisterStartupSources(const std::vector<std::string>& args);

  // Virtual names (CP932, '\' or '/') from here on.
  bool FileExists(std::string_view name);
  // Fills target with the file (an in-memory target is emptied first), position 0. Raises
  // "%s:ファイルがありません" when no source has it.
  void LoadFile(Stream& target, const std::string& name);
  // The whole file as bytes.
  std::vector<uint8_t> LoadBytes(const std::string& name);
  // A path on disk holding the file: the base folder's file, else a temporary copy of the
  // archived file (made once per name), else a CD root's file, else the name unchanged.
  std::string GetLocalFileName(const std::string& name);
  // Appends the files under a virtual folder: archive entries first (no duplicates), then
  // the plain files of base folder + folder and of every CD root + folder.
  void ListFiles(const std::string& folder, std::vector<std::string>& list);
  // A read-only range over the file, safe to read from a decoder thread. Raises
  // "%s:ファイルがありません" when no source has it.
  std::unique_ptr<TRangeStream> OpenRange(const std::string& name);
  TVrFile* FindEntry(std::string_view name);
  // The folder part of a name, its last '\' included ("" without one).
  static std::string FolderOf(std::string_view name);

  // Multi-disk distributions. n is 1-based; false when the user chose to quit.
  bool ChangeDisk(int n);
  bool MountDisk(int index);
  // Start-up: finds install.dat and the installed or disk game.dat. False stops the start.
  bool LocateInstallation();

  // Once per frame with FrameDelta: deletes the temporary files queued for deletion.
  void Age(uint32_t deltaMs);

  const std::vector<std::string>& CdRoots() const { return cdRoots_; }
  // The private temporary folder ("" until the first copy is made).
  const std::string& TempFolder() const { return tempFolder_; }
  NameResolver& Resolver() { return resolver_; }

 private:
  struct LockData {
    std::string name;
    int32_t id = 0;
    std::string path;
  };
  std::optional<std::string> DiskFile(const std::string& root, std::string_view name);
  std::optional<std::string> BaseFile(std::string_view name);
  std::optional<std::string> CdFile(std::string_view name);
  void LoadDiskFile(Stream& target, const std::string& path);
  std::string MakeTempCopy(const std::string& name);
  void EnsureTempFolder();
  std::string TempParent() const;
  void DeletePending();
  std::vector<std::string> ScanCdRoots() const;
  bool InstallMatches(const std::string& root, const std::string& title, int disk, bool checkDisk);

  EngineState& state_;
  VrFileManagerOptions options_;
  std::vector<std::unique_ptr<TVrFileCollection>> collections_;
  std::vector<std::string> cdRoots_;
  std::string baseFolder_;
  std::vector<LockData> locks_;
  int32_t nextLockId_ = 0;
  std::unique_ptr<PrivateTempFolder> tempDir_;
  std::string tempFolder_;
  std::vector<std::string> pendingDeletion_;
  NameResolver resolver_;
  DiskPrompter* prompter_ = nullptr;
  ProjectDiskTexts texts_;
  uint64_t agedMs_ = 0;
};

}  // namespace vorn
