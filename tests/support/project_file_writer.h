// Test fixtures of the project file: a writer independent of the player's own, so tests can
// build files at any version, with variables of any type byte (known or not).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "script/project_setting.h"

namespace vorn::testing {

struct RawProjectVariable {
  uint8_t type;
  std::string name;
  std::vector<uint8_t> value;  // the bytes after the name, as stored
};

// The fields of `s` that `s.version` has, then `variables` as given, then s.folders.
std::vector<uint8_t> WriteProjectFile(const TProjectSetting& s, const std::vector<RawProjectVariable>& variables);

}  // namespace vorn::testing
