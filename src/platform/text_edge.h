// Conversion of engine text (CP932 bytes) to and from the UTF-8 that windows, dialogs,
// the terminal and file names use. Only the platform edge calls these.
#pragma once

#include <string>
#include <string_view>

namespace vorn {

// Bytes that do not decode become U+FFFD; the result is always valid UTF-8.
std::string Cp932ToUtf8(std::string_view cp932);
// Characters without a CP932 form become '?'.
std::string Utf8ToCp932(std::string_view utf8);

}  // namespace vorn
