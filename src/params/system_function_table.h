// The system-function table (names, argument bounds, result types in their fixed order: a
// compiled call stores the position) and TSysFuncMan, the dispatcher where the implementations
// are registered.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "params/params.h"

namespace vorn {

class TParamCollection;

struct TSysFuncInfo {
  const char* Name;
  int8_t MinArgs;
  int8_t MaxArgs;  // -1: no maximum
  uint8_t ResultType;  // 1..4
};

inline constexpr int kSystemFunctionCount = 161;
extern const std::array<TSysFuncInfo, kSystemFunctionCount> kSystemFunctions;
inline constexpr int kFuncGetProp = 2;
inline constexpr int kFuncCalc = 136;

// Position of the name (exact, case-sensitive), or -1.
int IndexOfFunction(std::string_view name);
// True when n arguments are within the bounds of function `index`.
bool ArgCountFits(int index, int n);

// Everything a function implementation receives.
struct TFuncCall {
  TCustomParam& R;          // the call's result variable (fresh temporary of the result type)
  int Index;                // function number
  std::span<TCustomParam* const> Args;  // constants or references bound to variables
  TParamCollection& Vars;
};

using TSysFunc = std::function<void(TFuncCall&)>;

class TSysFuncMan {
 public:
  TSysFuncMan();
  // Plugs in the implementation of function `index` (replacing any earlier one).
  void Register(int index, TSysFunc fn);
  void Register(std::string_view name, TSysFunc fn);
  bool Implemented(int index) const;
  // Calls function `index`; a number outside the table does nothing; a function without an
  // implementation raises EVornError naming it.
  void CallFunction(TFuncCall& call) const;

  // Type of property `number` for the temporary of GetProp (set by the component code; without
  // it the temporary is a string). Numbers above 164 are rejected before this is asked.
  std::function<uint8_t(int)> PropertyType;

 private:
  std::array<TSysFunc, kSystemFunctionCount> funcs_;
};

// Registers the functions that belong to the expression engine itself: Calc (compile and run
// a text with its own compiler and evaluator).
void RegisterExpressionFunctions(TSysFuncMan& man);

}  // namespace vorn
