// Where the game data lies: the base folder and the archives to register with the virtual
// file manager, found from the command line as the entry rules say. Also checks that the
// folders and files named on the command line exist.
#pragma once

#include <string>
#include <vector>

namespace vorn {

struct GameSources {
  std::string baseFolder;             // with a trailing '/'
  std::vector<std::string> archives;  // in registration order
};

// Without arguments: the executable's folder, and the executable itself when it ends with
// an appended archive ("vz"). With arguments: the first is the base folder; for each argument
// in order, its game.dat when present, and the argument itself when it is a file ending in
// "vz". Raises EVornError when the first argument is not a folder or another one is missing.
GameSources FindGameSources(const std::vector<std::string>& args, const std::string& exeFolder,
                            const std::string& exePath);

// The folder whose game this run plays, canonical: the single-instance rule is keyed by it.
std::string InstanceFolder(const std::vector<std::string>& args, const std::string& exeFolder);

// The lock file for a folder in the user's runtime folder (never inside the game folder).
std::string InstanceLockPath(const std::string& canonicalFolder);

}  // namespace vorn
