// The compiled expressions that command records carry. INTERIM: until the expression
// evaluator lands this holds the stored bytes, checked for structure while reading.
#pragma once

#include <cstdint>
#include <vector>

#include "resources/binary_reader.h"

namespace vorn {

class RawExpression {
 public:
  // Reads one stored expression (int32 operation count, then the operation records).
  void LoadFromStream(BinaryReader& r);
  void SaveToStream(BinaryWriter& w) const;
  // No operations: an expression without value.
  bool Empty() const { return bytes_.size() <= 4; }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  bool operator==(const RawExpression&) const = default;

 private:
  std::vector<uint8_t> bytes_;
};

using Expression = RawExpression;

}  // namespace vorn
