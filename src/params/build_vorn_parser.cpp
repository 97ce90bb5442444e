// The expression compiler. The passes run in a fixed order and each repeats until it finds
// nothing more: string literals, calls (the last call first), array elements, groups, then
// tokens, signs and operators by precedence. The order in which calls are pulled out is the
// order their records run, so it decides the order of side effects.
#include "params/build_vorn_parser.h"

#include <cstring>

#include "params/number_format.h"
#include "params/param_messages.h"
#include "params/system_function_table.h"
#include "resources/error.h"
#include "resources/sjis_case.h"
#include "resources/stream.h"

namespace vorn {

namespace {

[[noreturn]] void SyntaxError() { throw EVornError(params_text::kMsgSyntax); }

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
bool IsOpChar(char c) { return c != 0 && std::strchr("%&*+-/<=>^|", c) != nullptr; }
bool IsSpace(char c) { return static_cast<unsigned char>(c) <= ' '; }
bool StartsWith(const std::string& s, const char* p) { return s.compare(0, std::strlen(p), p) == 0; }

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && IsSpace(s[b])) ++b;
  while (e > b && IsSpace(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// Marks the bytes that start a character (the trail byte of a two-byte character does not),
// so that a trail byte equal to '[' or '\' is never taken for syntax.
std::vector<bool> CharStarts(const std::string& s) {
  std::vector<bool> starts(s.size(), false);
  for (size_t i = 0; i < s.size();) {
    starts[i] = true;
    i += (IsLeadByte(static_cast<uint8_t>(s[i])) && i + 1 < s.size()) ? 2 : 1;
  }
  return starts;
}

// Position of the bracket closing the one at `open`, counting nesting; npos when none.
size_t MatchClose(const std::string& s, const std::vector<bool>& starts, size_t open, char o, char c) {
  int depth = 0;
  for (size_t i = open; i < s.size(); ++i) {
    if (!starts[i]) continue;
    if (s[i] == o) ++depth;
    if (s[i] == c && --depth == 0) return i;
  }
  return std::string::npos;
}

bool ContainsArgOperator(const std::string& s) {
  auto starts = CharStarts(s);
  for (size_t i = 0; i < s.size(); ++i) {
    if (starts[i] && std::strchr("+-*/%|&^=[](),<>", s[i]) && s[i] != 0) return true;
  }
  return false;
}

// Splits at commas outside square brackets; unpaired brackets are a syntax error.
std::vector<std::string> SplitArgs(const std::string& s) {
  auto starts = CharStarts(s);
  std::vector<std::string> out;
  std::string cur;
  int depth = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (starts[i]) {
      if (c == '[') ++depth;
      if (c == ']' && --depth < 0) SyntaxError();
      if (c == ',' && depth == 0) {
        out.push_back(cur);
        cur.clear();
        continue;
      }
    }
    cur.push_back(c);
  }
  if (depth != 0) SyntaxError();
  out.push_back(cur);
  return out;
}

bool IsOperatorToken(const std::string& t) { return !t.empty() && IsOpChar(t[0]); }

struct OpInfo {
  const char* text;
  uint8_t code;
};
// Precedence levels, highest first.
const std::vector<std::vector<OpInfo>> kLevels = {
    {{"*", ocMul}, {"/", ocDiv}, {"%", ocMod}},
    {{"+", ocPlus}, {"-", ocMinus}},
    {{"<<", ocShiftL}, {">>", ocShiftR}},
    {{"==", ocEqual}, {">=", ocEBig}, {"<=", ocESmall}, {">", ocBig}, {"<", ocSmall}, {"<>", ocNEqual}},
    {{"++", ocComboStr}},
    {{"&", ocAnd}},
    {{"^", ocXor}},
    {{"|", ocOr}},
    {{"=", ocTo}},
};

}  // namespace

std::string TBuildVornParser::NewName() { return "____" + std::to_string(counter_++); }
std::string TBuildVornParser::NewDimName() { return "____d_" + std::to_string(counter_++); }

void TBuildVornParser::Compile(const std::string& text) {
  size_t from = records_.size();
  try {
    CompileText(text);
    Cleanup(from);
  } catch (...) {
    records_.resize(from);
    throw;
  }
}

std::string TBuildVornParser::ArgumentOperand(std::string arg) {
  arg = Trim(arg);
  // Enclosing parentheses go while the first '(' pairs with the last ')'.
  while (arg.size() >= 2 && arg.front() == '(' && arg.back() == ')') {
    auto starts = CharStarts(arg);
    if (!starts[arg.size() - 1] || MatchClose(arg, starts, 0, '(', ')') != arg.size() - 1) break;
    arg = Trim(arg.substr(1, arg.size() - 2));
  }
  if (!ContainsArgOperator(arg)) return arg;
  std::string name = NewName();
  CompileText(name + " = " + arg);
  return name;
}

void TBuildVornParser::CompileText(std::string text) {
  // 1. String literals.
  for (;;) {
    auto starts = CharStarts(text);
    size_t open = std::string::npos;
    for (size_t i = 0; i < text.size(); ++i) {
      if (starts[i] && text[i] == '"') {
        open = i;
        break;
      }
    }
    if (open == std::string::npos) break;
    std::string content;
    size_t j = open + 1;
    bool closed = false;
    while (j < text.size()) {
      char c = text[j];
      if (IsLeadByte(static_cast<uint8_t>(c)) && j + 1 < text.size()) {
        content.append(text, j, 2);
        j += 2;
      } else if (c == '\\' && j + 1 < text.size() && (text[j + 1] == '"' || text[j + 1] == '\\')) {
        content.push_back(text[j + 1]);
        j += 2;
      } else if (c == '\\' && j + 1 < text.size() && text[j + 1] == 'n') {
        content += "\r\n";
        j += 2;
      } else if (c == '"') {
        closed = true;
        break;
      } else {
        content.push_back(c);
        ++j;
      }
    }
    if (!closed) SyntaxError();
    std::string name = NewName();
    records_.push_back({ocTo, name, 0, {"\"" + content + "\""}});
    text = text.substr(0, open) + name + text.substr(j + 1);
  }

  // 2. Calls: the last '(' that follows a name.
  for (;;) {
    auto starts = CharStarts(text);
    size_t open = std::string::npos, nameEnd = 0;
    for (size_t i = text.size(); i-- > 0;) {
      if (!starts[i] || text[i] != '(') continue;
      size_t p = i;
      while (p > 0 && text[p - 1] == ' ') --p;
      if (p > 0 && starts[p - 1] && IsNameChar(text[p - 1])) {
        open = i;
        nameEnd = p;
        break;
      }
    }
    if (open == std::string::npos) break;
    size_t nameStart = nameEnd;
    while (nameStart > 0 && starts[nameStart - 1] && IsNameChar(text[nameStart - 1])) --nameStart;
    size_t close = MatchClose(text, starts, open, '(', ')');
    if (close == std::string::npos) SyntaxError();
    std::string inner = text.substr(open + 1, close - open - 1);
    std::string callName = NewName();
    std::vector<std::string> ops{Trim(text.substr(nameStart, nameEnd - nameStart))};
    if (!Trim(inner).empty()) {
      for (std::string& arg : SplitArgs(inner)) ops.push_back(ArgumentOperand(arg));
    }
    records_.push_back({ocFunc, callName, 0, std::move(ops)});
    text = text.substr(0, nameStart) + callName + text.substr(close + 1);
  }

  // 3. Array elements: the last '['.
  for (;;) {
    auto starts = CharStarts(text);
    size_t open = std::string::npos;
    for (size_t i = text.size(); i-- > 0;) {
      if (starts[i] && text[i] == '[') {
        open = i;
        break;
      }
    }
    if (open == std::string::npos) break;
    size_t p = open;
    while (p > 0 && text[p - 1] == ' ') --p;
    if (p == 0 || IsOpChar(text[p - 1])) SyntaxError();
    size_t nameEnd = p;
    while (p > 0 && !(starts[p - 1] && (text[p - 1] == ' ' || IsOpChar(text[p - 1]) || std::strchr("()[],", text[p - 1])))) --p;
    // Step back onto a character start so a two-byte name is not cut in half.
    while (p < nameEnd && !starts[p]) ++p;
    std::string arrayName = text.substr(p, nameEnd - p);
    if (arrayName.empty()) SyntaxError();
    size_t close = MatchClose(text, starts, open, '[', ']');
    if (close == std::string::npos) SyntaxError();
    std::string inner = text.substr(open + 1, close - open - 1);
    if (Trim(inner).empty()) throw EVornError(params_text::kMsgBadSubscripts);
    std::vector<std::string> pieces = SplitArgs(inner);
    std::string dimName = NewDimName();
    std::vector<std::string> ops{arrayName};
    for (std::string& piece : pieces) {
      if (Trim(piece).empty()) throw EVornError(params_text::kMsgBadSubscripts);
      ops.push_back(ArgumentOperand(piece));
    }
    records_.push_back({ocDimTo, dimName, 0, std::move(ops)});
    text = text.substr(0, p) + dimName + text.substr(close + 1);
  }

  // 4. Grouping parentheses: the last '('.
  for (;;) {
    auto starts = CharStarts(text);
    size_t open = std::string::npos;
    for (size_t i = text.size(); i-- > 0;) {
      if (starts[i] && text[i] == '(') {
        open = i;
        break;
      }
    }
    if (open == std::string::npos) break;
    size_t close = MatchClose(text, starts, open, '(', ')');
    if (close == std::string::npos) SyntaxError();
    std::string name = NewName();
    CompileText(name + " = " + text.substr(open + 1, close - open - 1));
    text = text.substr(0, open) + name + text.substr(close + 1);
  }

  // 5. Tokens. A bracket left over here has no partner.
  std::vector<std::string> tokens;
  {
    auto starts = CharStarts(text);
    std::string cur;
    for (size_t i = 0; i < text.size(); ++i) {
      char c = text[i];
      if (!starts[i]) {
        cur.push_back(c);
        continue;
      }
      if (std::strchr("()[]", c) && c != 0) SyntaxError();
      if (!IsOpChar(c)) {
        cur.push_back(c);
        continue;
      }
      if (!Trim(cur).empty()) tokens.push_back(Trim(cur));
      cur.clear();
      static const char* kTwo[] = {"==", ">=", "<=", "++", "<>", "<<", ">>"};
      bool two = false;
      if (i + 1 < text.size()) {
        for (const char* t : kTwo) {
          if (text[i] == t[0] && text[i + 1] == t[1]) {
            tokens.push_back(t);
            ++i;
            two = true;
            break;
          }
        }
      }
      if (!two) tokens.push_back(std::string(1, c));
    }
    if (!Trim(cur).empty()) tokens.push_back(Trim(cur));
  }
  if (tokens.empty()) {
    records_.push_back({ocTo, kArgName, 0, {Trim(text)}});
    return;
  }

  // 6. Signs, from the second-to-last token down to the second.
  for (size_t i = tokens.size() >= 2 ? tokens.size() - 2 : 0; i >= 1 && i < tokens.size(); --i) {
    if ((tokens[i] == "+" || tokens[i] == "-") && !tokens[i - 1].empty() &&
        std::strchr("=+-*/%&^|[(,<>", tokens[i - 1][0])) {
      if (tokens[i] == "+") {
        tokens.erase(tokens.begin() + static_cast<ptrdiff_t>(i));
      } else {
        if (IsOperatorToken(tokens[i + 1])) SyntaxError();
        std::string name = NewName();
        records_.push_back({ocMinus, name, 0, {"0", tokens[i + 1]}});
        tokens[i] = name;
        tokens.erase(tokens.begin() + static_cast<ptrdiff_t>(i + 1));
      }
    }
  }

  // 7. Operators by precedence; within a level the leftmost first.
  bool assigned = false;
  for (const auto& level : kLevels) {
    for (;;) {
      size_t i = 0;
      const OpInfo* op = nullptr;
      for (; i < tokens.size() && !op; ++i) {
        for (const OpInfo& info : level) {
          if (tokens[i] == info.text) {
            op = &info;
            break;
          }
        }
      }
      if (!op) break;
      --i;
      bool hasNext = i + 1 < tokens.size() && !IsOperatorToken(tokens[i + 1]);
      if (op->code == ocTo) {
        if (i == 0 || IsOperatorToken(tokens[i - 1]) || !hasNext) SyntaxError();
        records_.push_back({ocTo, tokens[i - 1], 0, {tokens[i + 1]}});
        tokens.erase(tokens.begin() + static_cast<ptrdiff_t>(i - 1), tokens.begin() + static_cast<ptrdiff_t>(i + 2));
        assigned = true;
      } else if (i > 0) {
        if (IsOperatorToken(tokens[i - 1]) || !hasNext) SyntaxError();
        std::string name = NewName();
        records_.push_back({op->code, name, 0, {tokens[i - 1], tokens[i + 1]}});
        tokens.erase(tokens.begin() + static_cast<ptrdiff_t>(i), tokens.begin() + static_cast<ptrdiff_t>(i + 2));
        tokens[i - 1] = name;
      } else {
        if ((op->code != ocPlus && op->code != ocMinus) || !hasNext) SyntaxError();
        std::string name = NewName();
        records_.push_back({op->code, name, 0, {"0", tokens[1]}});
        tokens.erase(tokens.begin());
        tokens[0] = name;
      }
    }
  }

  // 8. What is left.
  if (tokens.empty()) return;
  if (tokens.size() == 1 && !assigned) {
    records_.push_back({ocTo, kArgName, 0, {tokens[0]}});
    return;
  }
  SyntaxError();
}

void TBuildVornParser::Cleanup(size_t from) {
  auto removable = [](const std::string& s) {
    return StartsWith(s, kTempPrefix) && !StartsWith(s, "____d_") && s != kArgName;
  };
  for (size_t k = from; k < records_.size();) {
    TBuildOpeData& r = records_[k];
    if (r.Code == ocTo && r.Operands.size() == 1 && removable(r.ResultName) && removable(r.Operands[0])) {
      std::string oldName = r.ResultName, repl = r.Operands[0];
      records_.erase(records_.begin() + static_cast<ptrdiff_t>(k));
      for (size_t m = k; m < records_.size(); ++m) {
        if (records_[m].ResultName == oldName) records_[m].ResultName = repl;
        for (std::string& op : records_[m].Operands) {
          if (op == oldName) op = repl;
        }
      }
    } else {
      ++k;
    }
  }
}

std::unique_ptr<TCustomParam> ClassifyOperand(const std::string& text) {
  int32_t i = 0;
  if (TryParseInt(text, i)) {
    auto p = std::make_unique<TParamInt>();
    p->Elements()[0] = i;
    return p;
  }
  long double f = 0;
  if (TryParseFloat(text, f)) {
    auto p = std::make_unique<TParamFloat>();
    p->Elements()[0] = f;
    return p;
  }
  if (text == "TRUE" || text == "FALSE") {
    auto p = std::make_unique<TParamFlag>();
    p->Elements()[0] = text == "TRUE";
    return p;
  }
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    auto p = std::make_unique<TParamStr>();
    p->Elements()[0] = text.substr(1, text.size() - 2);
    return p;
  }
  return std::make_unique<TParamVar>(text);
}

std::unique_ptr<TOpeData> TBuildVornParser::Store(const TBuildOpeData& rec) const {
  auto out = std::make_unique<TOpeData>();
  out->Code = rec.Code;
  out->ResultName = rec.ResultName;
  size_t first = 0;
  if (rec.Code == ocFunc) {
    std::string name = rec.Operands.empty() ? std::string() : rec.Operands[0];
    int index = IndexOfFunction(name);
    if (index < 0) {
      std::string msg = params_text::kMsgNoFunction;
      msg.replace(msg.find("%s"), 2, name);
      throw EVornError(msg);
    }
    int args = static_cast<int>(rec.Operands.size()) - 1;
    if (!ArgCountFits(index, args)) throw EVornError(name + params_text::kMsgArgCount);
    out->FuncIndex = static_cast<uint8_t>(index);
    first = 1;
  }
  for (size_t k = first; k < rec.Operands.size(); ++k) out->Operands.push_back(ClassifyOperand(rec.Operands[k]));
  return out;
}

TVornParser TBuildVornParser::Build() const {
  TVornParser parser;
  for (const TBuildOpeData& rec : records_) parser.Append(Store(rec));
  return parser;
}

void TBuildVornParser::SaveToStream(BinaryWriter& w) const {
  // Everything is classified before the first byte is written.
  TVornParser parser = Build();
  parser.SaveToStream(w);
}

TVornParser CompileExpression(const std::string& text) {
  TBuildVornParser builder;
  builder.Compile(text);
  return builder.Build();
}

}  // namespace vorn
