// Writes install.dat files of any version 0..108 (the player itself writes only 108), so tests
// can build the older layouts. Version 0 means a file without the "is" magic.
#pragma once

#include <cstdint>
#include <vector>

#include "resources/install_set.h"

namespace vorn::testing {

std::vector<uint8_t> WriteInstallSetVersion(const TVornInstallSet& set, int version);

}  // namespace vorn::testing
