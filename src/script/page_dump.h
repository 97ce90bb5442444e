// A readable listing of a compiled page: header, property sets and every field of every
// command. Used by `vornc dump` and by tests that compare pages field by field.
#pragma once

#include <string>

#include "script/page.h"

namespace vorn {

// One line per command: "index code Name indent=.. disabled=.. continue=.. line=.. | fields".
// Expressions appear as the hex of their stored bytes; strings as CP932 bytes.
std::string DumpPage(const TPage& page);
std::string DumpCommand(const TCommand& command, int version, const PropertySet& set);

}  // namespace vorn
