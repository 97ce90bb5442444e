// TVornParser: a compiled expression (a flat list of operations, each writing one named
// variable) with its stream form, and the evaluator that runs it against the variables.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "params/params.h"
#include "resources/binary_reader.h"

namespace vorn {

class TParamCollection;

// Operation codes of compiled expressions.
enum : uint8_t {
  ocNone = 0, ocTo = 1, ocPlus = 2, ocMinus = 3, ocMul = 4, ocDiv = 5, ocMod = 6, ocOr = 7,
  ocAnd = 8, ocXor = 9, ocDimTo = 10, ocFunc = 11, ocEqual = 12, ocBig = 13, ocSmall = 14,
  ocEBig = 15, ocESmall = 16, ocShiftL = 17, ocShiftR = 18, ocComboStr = 19, ocNEqual = 20,
};
inline constexpr uint8_t kLastOpCode = ocNEqual;
// "ocTo", "ocPlus", ...; "?" outside the table.
const char* OpCodeName(uint8_t code);

// Prefix of the names the compiler invents; such results live only during one evaluation.
inline constexpr char kTempPrefix[] = "____";
inline constexpr char kArgName[] = "____arg";

// One operation. Operands are constants (types 1..4) or TParamVar references by name.
struct TOpeData {
  uint8_t Code = ocNone;
  std::string ResultName;
  uint8_t FuncIndex = 0;  // ocFunc only: position in the system-function table
  std::vector<std::unique_ptr<TCustomParam>> Operands;

  std::unique_ptr<TOpeData> Clone() const;
};

class TVornParser {
 public:
  TVornParser();
  ~TVornParser();
  TVornParser(const TVornParser&) = delete;
  TVornParser& operator=(const TVornParser&) = delete;
  TVornParser(TVornParser&&) noexcept;
  TVornParser& operator=(TVornParser&&) noexcept;

  void Clear();
  // Reads a stored expression, replacing the list. Operation codes, operand kinds, function
  // indexes and operand counts are checked: bad data raises EFormatError naming the field and
  // leaves the parser empty.
  void LoadFromStream(BinaryReader& r);
  void SaveToStream(BinaryWriter& w) const;
  // Deep copy of the records.
  void Assign(const TVornParser& other);

  // Evaluates the records in order against the variables. The first error ends the evaluation
  // silently (earlier records keep their effects); the return value and LastError() tell what
  // happened, for logs and tests. Temporaries belong to this evaluation alone and are freed at
  // its end. A nested or re-entrant evaluation of the same parser runs on a copy.
  bool Execute(TParamCollection& vars);

  // The value of a non-assignment expression after Execute, or null.
  const TCustomParam* Result() const { return result_.get(); }
  std::unique_ptr<TCustomParam> TakeResult() { return std::move(result_); }
  // The message of the error that ended the last evaluation (empty when none).
  const std::string& LastError() const { return lastError_; }

  const std::vector<std::unique_ptr<TOpeData>>& Records() const { return records_; }
  void Append(std::unique_ptr<TOpeData> record) { records_.push_back(std::move(record)); }
  int Count() const { return static_cast<int>(records_.size()); }
  bool Empty() const { return records_.empty(); }

 private:
  std::vector<std::unique_ptr<TOpeData>> records_;
  std::unique_ptr<TCustomParam> result_;
  std::string lastError_;
  bool running_ = false;
};

// Trims the text; false when empty; otherwise compiles, stores, reloads and runs it and gives
// true unless compiling or storing raised an error.
bool CheckExpression(const std::string& text, TParamCollection& vars);

}  // namespace vorn
