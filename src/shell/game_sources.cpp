// Game source discovery and the single-instance key.
#include "shell/game_sources.h"

#include <cstdint>
#include <cstdio>

#include "platform/native.h"
#include "resources/error.h"

namespace vorn {

namespace {

bool EndsWithArchiveMark(const std::string& path) {
  const std::optional<std::string> tail = ReadFileTail(path, 2);
  return tail && *tail == "vz";
}

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

GameSources FindGameSources(const std::vector<std::string>& args, const std::string& exeFolder,
                            const std::string& exePath) {
  GameSources sources;
  if (args.empty()) {
    sources.baseFolder = WithSlash(exeFolder);
    if (!exePath.empty() && EndsWithArchiveMark(exePath)) sources.archives.push_back(exePath);
    return sources;
  }
  if (!IsDirectory(args[0])) {
    if (IsRegularFile(args[0]))
      throw EVornError("the game folder " + args[0] + " is a file, not a folder");
    throw EVornError("game folder not found: " + args[0]);
  }
  sources.baseFolder = WithSlash(args[0]);
  for (const std::string& arg : args) {
    const bool folder = IsDirectory(arg), file = IsRegularFile(arg);
    if (!folder && !file) throw EVornError("not found: " + arg);
    if (folder) {
      const std::string dat = JoinPath(arg, "game.dat");
      if (IsRegularFile(dat)) sources.archives.push_back(dat);
    } else if (EndsWithArchiveMark(arg)) {
      sources.archives.push_back(arg);
    }
  }
  return sources;
}

std::string InstanceFolder(const std::vector<std::string>& args, const std::string& exeFolder) {
  const std::string& folder = args.empty() ? exeFolder : args[0];
  return CanonicalPath(folder).value_or(folder);
}

std::string InstanceLockPath(const std::string& canonicalFolder) {
  // FNV-1a over the canonical path: a short, stable file name for any path length.
  uint64_t hash = 0xcbf29ce484222325ull;
  for (unsigned char c : canonicalFolder) {
    hash ^= c;
    hash *= 0x100000001b3ull;
  }
  char name[48];
  std::snprintf(name, sizeof name, "vornplayer-%016llx.lock", static_cast<unsigned long long>(hash));
  return JoinPath(RuntimeFolder(), name);
}

}  // namespace vorn
