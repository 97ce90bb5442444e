// The engine's one error type and its format-error subtype.
// Messages are CP932 bytes: the documented texts are shown to the user as they stand.
#pragma once

#include <stdexcept>
#include <string>

namespace vorn {

// An error the engine raises on purpose: a documented message, a failed lookup that must
// stop a command, a bad argument. The interpreter's command guard catches this type.
class EVornError : public std::runtime_error {
 public:
  explicit EVornError(const std::string& message) : std::runtime_error(message) {}
};

// Damaged or hostile file data: a count beyond the bytes left, a bad signature, a value out
// of range. The message names the structure and the field.
class EFormatError : public EVornError {
 public:
  explicit EFormatError(const std::string& message) : EVornError(message) {}
};

}  // namespace vorn
