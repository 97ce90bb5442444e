// The compiled expressions that command records carry: the evaluator form, read from and
// written to the stored stream form.
#pragma once

#include "params/vorn_parser.h"

namespace vorn {

using Expression = TVornParser;

}  // namespace vorn
