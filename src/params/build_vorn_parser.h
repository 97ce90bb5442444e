// TBuildVornParser: the expression compiler. Rewrites the source text in passes (string
// literals, calls, array elements, groups, then operators by precedence) into operation records
// with operand texts, and stores them in the compiled stream form.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "params/vorn_parser.h"
#include "resources/binary_reader.h"

namespace vorn {

// A compile-time record: code, result name, function index, operands as raw texts. For
// ocFunc, operand 0 is the function name until the record is stored.
struct TBuildOpeData {
  uint8_t Code = ocNone;
  std::string ResultName;
  uint8_t FuncIndex = 0;
  std::vector<std::string> Operands;
};

class TBuildVornParser {
 public:
  // Appends the records of one expression. Raises EVornError "構文エラー" (or
  // "配列の添え字が不正です") on malformed text; the records of the failed expression are
  // dropped and the builder keeps what it held before.
  void Compile(const std::string& text);
  // The stored expression. Operand texts are classified (integer, real, flag, string,
  // variable); function names are looked up: raises "\"%s\" 関数名がありません" or
  // "<name> 引数の数が不正です".
  void SaveToStream(BinaryWriter& w) const;
  // Compiles nothing more; builds the evaluator form directly (same classification).
  TVornParser Build() const;

  const std::vector<TBuildOpeData>& Records() const { return records_; }
  void Clear() { records_.clear(); }
  int Counter() const { return counter_; }

 private:
  std::string NewName();
  std::string NewDimName();
  void CompileText(std::string text);
  std::string ArgumentOperand(std::string arg);
  void Cleanup(size_t from);
  std::unique_ptr<TOpeData> Store(const TBuildOpeData& rec) const;

  std::vector<TBuildOpeData> records_;
  int counter_ = 0;
};

// Compiles one expression text into an evaluator (compile, then store in memory).
TVornParser CompileExpression(const std::string& text);

// Classification of an operand text at storing time: integer, real, flag, string literal (at
// least two characters in double quotes; the quotes removed), otherwise a variable reference.
std::unique_ptr<TCustomParam> ClassifyOperand(const std::string& text);

}  // namespace vorn
