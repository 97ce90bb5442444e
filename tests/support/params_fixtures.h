// Writers of variable-manager save sections at older versions, for the readers' version gates.
#pragma once

#include <array>
#include <cstdint>

#include "params/param_collection.h"
#include "resources/binary_reader.h"

namespace vorn::testing {

// The game-save section as a saved game of `version` carried it: @SelStr/@SelIndex from 103,
// six history-format values for 113..134, the @Temp name from 121, the variable stack from 139.
void WriteGameSectionAt(const TParamCollection& vars, BinaryWriter& w, int version,
                        const std::array<int32_t, 6>& historyFormat = {});

}  // namespace vorn::testing
