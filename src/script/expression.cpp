// INTERIM stored-expression holder; see expression.h.
#include "script/expression.h"

#include "resources/stream.h"

namespace vorn {

void RawExpression::LoadFromStream(BinaryReader& r) {
  int64_t start = r.Position();
  // The smallest operation record: code, empty name, operand count.
  int32_t n = r.Count("expression operation count", 9);
  for (int32_t i = 0; i < n; ++i) {
    uint8_t code = r.U8("expression operation code");
    r.CountedString("expression result name");
    int32_t operands = r.Count("expression operand count", 1);
    if (code == 11) r.U8("expression function index");
    for (int32_t k = 0; k < operands; ++k) {
      uint8_t kind = r.U8("expression operand kind");
      switch (kind) {
        case 0: case 4: r.CountedString("expression operand"); break;
        case 1: r.I32("expression operand"); break;
        case 2: r.Skip(10, "expression operand"); break;
        case 3: r.U8("expression operand"); break;
        default: r.Fail("expression operand kind", "unknown kind " + std::to_string(kind));
      }
    }
  }
  int64_t end = r.Position();
  r.stream().Seek(start);
  bytes_ = r.Bytes(static_cast<size_t>(end - start), "expression");
  if (n == 0) bytes_.clear();
}

void RawExpression::SaveToStream(BinaryWriter& w) const {
  if (bytes_.empty()) {
    w.I32(0);
    return;
  }
  w.Bytes(bytes_.data(), bytes_.size());
}

}  // namespace vorn
