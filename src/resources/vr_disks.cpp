// Multi-disk distributions and the installation search: install.dat beside the executable,
// an installed game.dat, and discs mounted as iso9660 or udf file systems.
#include "error.h"
#include "file_stream.h"
#include "install_set.h"
#include "sjis_case.h"
#include "vr_file_manager.h"
#include "vr_texts.h"

namespace vorn {

using namespace disk;

namespace {

std::string ReplaceFirst(std::string text, std::string_view what, const std::string& with) {
  size_t at = text.find(what);
  if (at != std::string::npos) text.replace(at, what.size(), with);
  return text;
}

}  // namespace

bool TVrFileManager::InstallMatches(const std::string& root, const std::string& title, int disk, bool checkDisk) {
  auto dat = DiskFile(root, "game.dat");
  auto inst = DiskFile(root, "install.dat");
  if (!dat || !inst) return false;
  TVornInstallSet set;
  try {
    set.LoadFromFile(*inst);
  } catch (const EVornError&) {
    return false;  // a damaged install.dat on some disc is not the disc we want
  }
  if (set.title != title) return false;
  return !checkDisk || set.diskNumber == disk;
}

bool TVrFileManager::MountDisk(int index) {
  // A disc inserted after start-up is mounted at a new place on Linux: look again.
  if (!options_.cdRoots) cdRoots_ = ScanCdRoots();
  bool added = false;
  for (const std::string& root : cdRoots_) {
    if (!InstallMatches(root, texts_.projectTitle, index, true)) continue;
    if (auto dat = DiskFile(root, "game.dat")) {
      AddArchive(*dat);
      added = true;
    }
  }
  return added;
}

bool TVrFileManager::ChangeDisk(int n) {
  for (int i = CollectionCount() - 1; i >= 0; --i) {
    const std::string& folder = collections_[static_cast<size_t>(i)]->FolderPath();
    for (const std::string& root : cdRoots_) {
      if (folder.size() >= root.size() && SameText(std::string_view(folder).substr(0, root.size()), root)) {
        RemoveCollection(i);
        break;
      }
    }
  }
  std::string message = texts_.diskChangeMessage.empty() ? std::string(kTextDefaultDiskChange) : texts_.diskChangeMessage;
  message = ReplaceFirst(message, "%d", std::to_string(n));
  std::string exitText = texts_.exitMessage.empty() ? std::string(kTextDefaultExitConfirm) : texts_.exitMessage;
  for (;;) {
    if (!prompter_ || state_.TerminateRequested) {
      state_.TerminateRequested = true;
      return false;
    }
    if (prompter_->ConfirmOkCancel(message, texts_.applicationTitle)) {
      if (MountDisk(n - 1)) return true;
      continue;
    }
    if (prompter_->ConfirmOkCancel(exitText, texts_.applicationTitle)) {
      state_.TerminateRequested = true;
      prompter_->RequestClose();
      return false;
    }
  }
}

bool TVrFileManager::LocateInstallation() {
  std::string exe = options_.executablePath.empty() ? ExecutablePath() : options_.executablePath;
  std::string exeFolder = NativeFolderOf(exe);
  if (!exeFolder.empty() && baseFolder_.empty() && DiskFile(exeFolder, "install.dat")) SetBaseFolder(exeFolder);
  if (!FileExists("install.dat")) {
    if (prompter_) prompter_->Inform(kTextReinstall, kTextInformation);
    return false;
  }
  TVornInstallSet set;
  {
    MemoryStream m;
    LoadFile(m, "install.dat");
    set.LoadFromStream(m);
  }
  const std::string title = set.title;
  const bool full = set.fullInstall != 0;
  if (auto dat = exeFolder.empty() ? std::nullopt : DiskFile(exeFolder, "game.dat")) {
    AddArchive(*dat);
    if (full) return true;
  } else if (CollectionCount() > 0 && full) {
    return true;
  }
  std::string exitText = texts_.exitMessage.empty() ? std::string(kTextDefaultExitConfirm) : texts_.exitMessage;
  for (;;) {
    std::vector<std::string> roots = options_.cdRoots ? cdRoots_ : ScanCdRoots();
    for (const std::string& root : roots) {
      if (!InstallMatches(root, title, 0, false)) continue;
      if (auto dat = DiskFile(root, "game.dat")) {
        AddArchive(*dat);
        return true;
      }
    }
    if (!prompter_ || state_.TerminateRequested) return false;
    if (prompter_->ConfirmOkCancel(kTextInsertDisk, kTextInformation)) continue;
    if (prompter_->ConfirmOkCancel(exitText, texts_.projectTitle)) return false;
  }
}

}  // namespace vorn
