// The page-source compiler: splits lines into commands and their fields, binds the fields
// through each command's record description, lays out blocks (indent levels, loop commands
// and their targets) and resolves labels across the pages compiled together.
#include "script/page_compiler.h"

#include <algorithm>
#include <map>

#include "params/build_vorn_parser.h"
#include "resources/cp932.h"
#include "resources/stream.h"
#include "script/commands_component.h"
#include "script/commands_flow.h"
#include "script/commands_text.h"
#include "script/commands_variable.h"
#include "script/source_text.h"

namespace vorn {

namespace {

using source_text::EqualsNoCase;
using source_text::IsIdentifier;
using source_text::SplitTopLevel;
using source_text::Trim;
using source_text::Unquote;

// Where a message comes from: "file:line: ".
struct Where {
  std::string file;
  int line;
  [[noreturn]] void Fail(const std::string& what) const {
    throw ECompileError(file + ":" + std::to_string(line) + ": " + what);
  }
};

// A jump target resolved once every page is compiled.
struct Fixup {
  int32_t* field;
  std::string page;   // CP932
  std::string label;  // CP932; empty: the page's first command
  int fallback;       // index used when neither label nor explicit target is given
  Where where;
};

struct Item {
  std::string key;  // empty for a positional value
  std::string value;
  bool used = false;
};

// The field a value without "key:" goes to.
const char* PrimaryField(int code) {
  switch (code) {
    case kComIf: case kComElseif: case kComWhile: case kComExit: case kComBreak: case kComContinue:
      return "cond";
    case kComLabel: return "name";
    case kComComment: return "text";
    case kComJump: case kComCall: case kComPCReset: case kComReset: return "to";
    case kComWait: return "time";
    case kComFlip: return "kind";
    case kComCalc: case kComWhileInit: case kComWhileLoop: return "expr";
    case kComVarNew: case kComVarDel: case kComPropMotion: return "name";
    case kComGetProp: case kComSetProp: case kComObjDel: case kComMovieStop: case kComMenuClose:
    case kComMediaPlay: case kComFormatHist:
      return "object";
    case kComTextIns: return "text";
    case kComTextClr: case kComCallHist: return "window";
    case kComGameSave: case kComGameLoad: return "slot";
    default: return "PR_NAME";  // component commands and cabinets
  }
}

bool ParseInt(const std::string& text, int32_t& out) {
  std::string t = Trim(text);
  if (t.empty()) return false;
  size_t pos = 0;
  try {
    long long v = std::stoll(t, &pos, 0);
    if (pos != t.size() || v < INT32_MIN || v > INT32_MAX) return false;
    out = static_cast<int32_t>(v);
    return true;
  } catch (...) {
    return false;
  }
}

class SourceBinder final : public RecordIO {
 public:
  SourceBinder(int version, const PropertySet* set, int code, std::vector<Item>& items, const Where& where,
               std::vector<Fixup>& fixups, const std::string& ownPage, int ownIndex)
      : RecordIO(version, set), code_(code), items_(items), where_(where), fixups_(fixups),
        ownPage_(ownPage), ownIndex_(ownIndex) {}

  void Int(int32_t& v, const char* field, FieldRole role) override {
    if (const std::string* t = Take(field)) {
      if (!ParseInt(*t, v)) where_.Fail(std::string("field '") + field + "' needs an integer: " + *t);
      return;
    }
    if (role == FieldRole::Target && HasLabelTarget()) {
      // Jump-like commands: the target of the page field's label, filled after compiling.
      Fixup f{&v, lastPage_, label_, fallback_, where_};
      fixups_.push_back(std::move(f));
    }
  }

  void Byte(uint8_t& v, const char* field) override {
    const std::string* t = Take(field);
    if (!t) return;
    std::string s = Trim(*t);
    int32_t n = 0;
    if (std::string_view(field) == "type") {
      static const std::pair<const char*, int> kTypes[] = {
          {"int", 1}, {"integer", 1}, {"real", 2}, {"flag", 3}, {"bool", 3}, {"boolean", 3},
          {"string", 4}, {"str", 4}};
      for (auto& [name, code] : kTypes)
        if (EqualsNoCase(s, name)) { v = static_cast<uint8_t>(code); return; }
    } else if (std::string_view(field) == "scope") {
      static const std::pair<const char*, int> kScopes[] = {
          {"global", 0}, {"auto", 1}, {"local", 2}, {"status", 3}};
      for (auto& [name, code] : kScopes)
        if (EqualsNoCase(s, name)) { v = static_cast<uint8_t>(code); return; }
    }
    if (EqualsNoCase(s, "true")) { v = 1; return; }
    if (EqualsNoCase(s, "false")) { v = 0; return; }
    if (!ParseInt(s, n) || n < 0 || n > 255) where_.Fail(std::string("field '") + field + "' needs a byte value: " + s);
    v = static_cast<uint8_t>(n);
  }

  void Str(std::string& v, const char* field) override {
    const std::string* t = Take(field);
    bool isPage = std::string_view(field) == "page";
    if (t) v = Utf8ToCp932(Unquote(*t));
    else if (isPage && HasLabelTarget()) v = Utf8ToCp932(ownPage_);
    if (isPage) lastPage_ = v;
  }

  void Expr(Expression& e, const char* field) override {
    if (const std::string* t = Take(field)) Compile(*t, e);
  }

  void ExprList(std::vector<Expression>& list, const char* field) override {
    list.clear();
    const std::string* t = Take(field);
    if (!t || Trim(*t).empty()) return;
    for (const std::string& part : SplitTopLevel(*t, ',')) {
      list.emplace_back();
      Compile(part, list.back());
    }
  }

  void Block(std::vector<uint8_t>& bytes, const char* field) override {
    const std::string* t = Take(field);
    bytes = CompileMessageText(t ? Utf8ToCp932(source_text::UnquoteMessage(*t)) : std::string());
  }

  void Properties(PropertySlots& slots) override {
    for (Item& item : items_) {
      if (item.used) continue;
      std::string key = item.key.empty() ? "PR_NAME" : item.key;
      int id = PropertyIdOfName(key);
      if (id < 0) continue;  // reported as unknown by the caller
      item.used = true;
      slots[static_cast<size_t>(id)] = std::make_unique<Expression>();
      Compile(item.value, *slots[static_cast<size_t>(id)]);
    }
  }

  // Label target of a jump-like command (taken from "label:" / "to:" before binding).
  void SetLabelTarget(std::string label, int fallback) {
    label_ = std::move(label);
    fallback_ = fallback;
    labelTarget_ = true;
  }

 private:
  bool HasLabelTarget() const { return labelTarget_; }

  const std::string* Take(const char* field) {
    for (Item& item : items_) {
      if (item.used) continue;
      bool match = item.key.empty() ? std::string_view(PrimaryField(code_)) == field
                                    : EqualsNoCase(item.key, field);
      if (match) {
        item.used = true;
        return &item.value;
      }
    }
    return nullptr;
  }

  void Compile(const std::string& text, Expression& e) {
    std::string t = Trim(text);
    if (t.empty()) {
      e = Expression();
      return;
    }
    try {
      TBuildVornParser b;
      b.Compile(Utf8ToCp932(t));
      MemoryStream s;
      BinaryWriter w(s);
      b.SaveToStream(w);
      s.Seek(0);
      BinaryReader r(s, "expression");
      e.LoadFromStream(r);
    } catch (const EVornError& err) {
      where_.Fail("expression '" + t + "': " + Cp932ToUtf8(err.what()));
    }
  }

  int code_;
  std::vector<Item>& items_;
  Where where_;
  std::vector<Fixup>& fixups_;
  const std::string& ownPage_;
  [[maybe_unused]] int ownIndex_;
  std::string lastPage_;
  std::string label_;
  int fallback_ = 0;
  bool labelTarget_ = false;
};

// An open block: the body of an If, Elseif, Else or While.
struct OpenBlock {
  int column = 0;  // -1 until the first line of the body sets it
  TComWhile* loop = nullptr;
  int loopIndex = -1;       // index of the While
  int loopDepth = 0;
  int loopLine = 0;
  bool loopDisabled = false;
  std::string step;         // the loop step (the While line's "step:")
  std::vector<TComBreak*> breaks, continues;
};

class PageBuilder {
 public:
  PageBuilder(const std::string& pageName, const std::string& fileName, int version,
              std::vector<Fixup>& fixups)
      : pageName_(pageName), fileName_(fileName), fixups_(fixups), page_(std::make_unique<TPage>()) {
    page_->SetName(Utf8ToCp932(pageName));
    page_->version = version;
    page_->resultType = 1;
  }

  std::unique_ptr<TPage> Build(const std::string& text);

 private:
  void Line(int lineNo, int column, const std::string& content);
  void Directive(const Where& where, const std::string& content);
  void Command(const Where& where, int depth, const std::string& content);
  void CloseBlock();
  void Place(std::unique_ptr<TCommand> c, int depth, int line);
  void FinishSets();

  std::string pageName_, fileName_;
  std::vector<Fixup>& fixups_;
  std::unique_ptr<TPage> page_;
  std::vector<OpenBlock> blocks_{OpenBlock{}};
  std::vector<int> lastAtDepth_;
  bool sawCommand_ = false;
};

std::unique_ptr<TPage> PageBuilder::Build(const std::string& text) {
  std::vector<std::string> lines = source_text::SplitLines(text);
  for (size_t i = 0; i < lines.size(); ++i) {
    int lineNo = static_cast<int>(i) + 1;
    auto [column, content] = source_text::Indentation(lines[i]);
    if (content.empty() || content.rfind("//", 0) == 0) continue;
    // A line ending in ';' goes on in the next non-blank line.
    while (source_text::EndsWithSeparator(content) && i + 1 < lines.size()) {
      std::string next = Trim(lines[++i]);
      if (next.empty() || next.rfind("//", 0) == 0) continue;
      content += " " + next;
    }
    Line(lineNo, column, content);
  }
  while (blocks_.size() > 1) CloseBlock();
  FinishSets();
  return std::move(page_);
}

void PageBuilder::Line(int lineNo, int column, const std::string& content) {
  Where where{fileName_, lineNo};
  if (content[0] == '%') {
    if (sawCommand_) where.Fail("directives come before the first command");
    Directive(where, content);
    return;
  }
  sawCommand_ = true;
  if (blocks_.back().column < 0) {
    if (column > blocks_[blocks_.size() - 2].column) blocks_.back().column = column;
    else CloseBlock();  // an empty block
  }
  bool closed = false;
  while (column < blocks_.back().column) {
    CloseBlock();
    closed = true;
  }
  if (column != blocks_.back().column)
    where.Fail(closed ? "indentation matches no enclosing block" : "unexpected indentation");
  Command(where, static_cast<int>(blocks_.size()) - 1, content);
}

void PageBuilder::Directive(const Where& where, const std::string& content) {
  std::string rest = content.substr(1);
  std::string word = Trim(rest.substr(0, rest.find(' ')));
  std::string value = rest.find(' ') == std::string::npos ? "" : Trim(rest.substr(rest.find(' ')));
  int32_t n = 0;
  if (EqualsNoCase(word, "version")) {
    if (!ParseInt(value, n)) where.Fail("%version needs a number");
    page_->version = n;
  } else if (EqualsNoCase(word, "result")) {
    static const std::pair<const char*, int> kTypes[] = {
        {"int", 1}, {"integer", 1}, {"real", 2}, {"flag", 3}, {"bool", 3}, {"string", 4}, {"str", 4}};
    for (auto& [name, code] : kTypes)
      if (EqualsNoCase(value, name)) n = code;
    if (n == 0 && (!ParseInt(value, n) || n < 1 || n > 4))
      where.Fail("%result needs int, real, flag or string");
    page_->resultType = static_cast<uint8_t>(n);
  } else {
    where.Fail("unknown directive %" + word);
  }
}

void PageBuilder::Command(const Where& where, int depth, const std::string& content) {
  std::string name, args;
  if (content[0] == '*') {
    name = "Label";
    args = content.substr(1);
  } else {
    size_t end = 0;
    while (end < content.size() && (std::isalnum(static_cast<unsigned char>(content[end])))) ++end;
    name = content.substr(0, end);
    args = content.substr(end);
  }
  int code = CommandCodeOfName(name);
  if (code < 0) where.Fail("unknown command '" + name + "'");
  if (code == kComWhileInit || code == kComWhileLoop)
    where.Fail(name + " is generated by While; write the loop as a While block");
  if ((code == kComElseif || code == kComElse) &&
      (static_cast<int>(lastAtDepth_.size()) <= depth ||
       (lastAtDepth_[static_cast<size_t>(depth)] != kComIf && lastAtDepth_[static_cast<size_t>(depth)] != kComElseif)))
    where.Fail(name + " without an If or Elseif before it at the same indentation");

  auto command = CreateCommand(code);
  command->SetStoredContinue(true);
  const int index = page_->Commands().Count();

  // Fields: "key: value" items separated by ';' (Label and Comment take the whole text).
  std::vector<Item> items;
  if (code == kComLabel || code == kComComment) {
    items.push_back({"", "\"" + source_text::EscapeQuoted(Trim(args)) + "\""});
  } else {
    for (const std::string& part : SplitTopLevel(args, ';')) {
      std::string p = Trim(part);
      if (p.empty()) continue;
      size_t colon = source_text::TopLevelColon(p);
      if (colon != std::string::npos) {
        std::string key = Trim(p.substr(0, colon));
        if (IsIdentifier(key)) {
          items.push_back({key, Trim(p.substr(colon + 1))});
          continue;
        }
      }
      items.push_back({"", p});
    }
  }
  int positional = 0;
  for (const Item& it : items) positional += it.key.empty();
  if (positional > 1) where.Fail("more than one value without a field name");

  // Header fields and the source-only fields.
  std::string step, label;
  bool hasTo = false;
  for (Item& it : items) {
    if (it.used) continue;
    auto flag = [&](const char* key) {
      std::string v = Trim(it.value);
      if (v == "1" || EqualsNoCase(v, "true")) return true;
      if (v == "0" || EqualsNoCase(v, "false")) return false;
      where.Fail(std::string("'") + key + "' needs 0 or 1");
    };
    if (EqualsNoCase(it.key, "continue")) {
      command->SetStoredContinue(flag("continue"));
      it.used = true;
    } else if (EqualsNoCase(it.key, "disabled")) {
      command->SetDisabled(flag("disabled"));
      it.used = true;
    } else if (code == kComWhile && (EqualsNoCase(it.key, "init") || EqualsNoCase(it.key, "step"))) {
      (EqualsNoCase(it.key, "init") ? label : step) = it.value;  // label holds init here
      it.used = true;
    }
  }
  std::string init;
  if (code == kComWhile) std::swap(init, label);

  const bool jumpLike = code == kComJump || code == kComCall || code == kComPCReset || code == kComReset ||
                        code == kComGameSave;
  int fallback = 0;
  if (jumpLike) {
    std::string toPage;
    for (Item& it : items) {
      if (it.used) continue;
      bool isTo = (it.key.empty() && std::string_view(PrimaryField(code)) == "to") || EqualsNoCase(it.key, "to");
      if (isTo) {
        std::string to = Unquote(it.value);
        size_t colon = to.rfind(':');
        std::string page = colon == std::string::npos ? to : to.substr(0, colon);
        std::string lab = colon == std::string::npos ? "" : to.substr(colon + 1);
        if (colon == std::string::npos && page.find('.') == std::string::npos) std::swap(page, lab);
        it.used = true;
        hasTo = true;
        if (!page.empty()) toPage = page;
        label = lab;
      } else if (EqualsNoCase(it.key, "label")) {
        label = Unquote(it.value);
        it.used = true;
      }
    }
    // Appended after the loop: growing the vector inside it would move the items under it.
    if (!toPage.empty()) items.push_back({"page", "\"" + source_text::EscapeQuoted(toPage) + "\""});
    // A GameSave without a place to resume resumes after itself.
    if (code == kComGameSave && !hasTo && label.empty()) fallback = index + 1;
  }

  // A jump-like command written without a condition is meant to happen: store TRUE, since a
  // stored expression without value counts as false and the command would never fire.
  if (code == kComJump || code == kComCall || code == kComExit || code == kComBreak || code == kComContinue) {
    bool hasCond = false;
    for (const Item& it : items)
      hasCond |= EqualsNoCase(it.key, "cond") || (it.key.empty() && std::string_view(PrimaryField(code)) == "cond");
    if (!hasCond) items.push_back({"cond", "1"});
  }

  TCommand* raw = command.get();
  {
    const PropertySet* set = &page_->sets[static_cast<size_t>(code)];
    SourceBinder binder(page_->version, set, code, items, where, fixups_, pageName_, index);
    if (jumpLike) binder.SetLabelTarget(Utf8ToCp932(label), fallback);
    raw->Transfer(binder);
  }
  for (const Item& it : items)
    if (!it.used)
      where.Fail(it.key.empty() ? "value '" + it.value + "' has no field to go to"
                                : "unknown field '" + it.key + "' for " + name);

  // Loops: WhileInit before the While; Break and Continue of the innermost loop.
  if (code == kComWhile) {
    auto initCmd = std::make_unique<TComWhileInit>();
    initCmd->SetStoredContinue(true);
    initCmd->SetDisabled(raw->StoredDisabled());
    if (!Trim(init).empty()) {
      std::vector<Item> initItems{{"expr", init}};
      SourceBinder b(page_->version, nullptr, kComWhileInit, initItems, where, fixups_, pageName_, index);
      initCmd->Transfer(b);
    }
    Place(std::move(initCmd), depth, where.line);
  }
  if (code == kComBreak || code == kComContinue) {
    auto* brk = static_cast<TComBreak*>(raw);
    for (auto b = blocks_.rbegin(); b != blocks_.rend(); ++b) {
      if (!b->loop) continue;
      (code == kComBreak ? b->breaks : b->continues).push_back(brk);
      break;
    }
  }
  const int placed = page_->Commands().Count();
  Place(std::move(command), depth, where.line);
  if (code == kComIf || code == kComElseif || code == kComElse || code == kComWhile) {
    OpenBlock block;
    block.column = -1;
    if (code == kComWhile) {
      block.loop = static_cast<TComWhile*>(raw);
      block.loopIndex = placed;
      block.loopDepth = depth;
      block.loopLine = where.line;
      block.loopDisabled = raw->StoredDisabled();
      block.step = step;
    }
    blocks_.push_back(std::move(block));
  }
}

void PageBuilder::Place(std::unique_ptr<TCommand> c, int depth, int line) {
  c->indent = depth;
  c->line = line;
  if (static_cast<int>(lastAtDepth_.size()) <= depth) lastAtDepth_.resize(static_cast<size_t>(depth) + 1, -1);
  lastAtDepth_.resize(static_cast<size_t>(depth) + 1);
  lastAtDepth_[static_cast<size_t>(depth)] = c->Kind();
  page_->Commands().Add(std::move(c));
}

// Ends the innermost block; a While block ends with its WhileLoop, and only then are the
// loop's exits known.
void PageBuilder::CloseBlock() {
  OpenBlock block = std::move(blocks_.back());
  blocks_.pop_back();
  if (!block.loop) return;
  auto loop = std::make_unique<TComWhileLoop>();
  loop->SetStoredContinue(true);
  loop->SetDisabled(block.loopDisabled);
  loop->target = block.loopIndex;
  if (!Trim(block.step).empty()) {
    std::vector<Item> items{{"expr", block.step}};
    Where where{fileName_, block.loopLine};
    SourceBinder b(page_->version, nullptr, kComWhileLoop, items, where, fixups_, pageName_, 0);
    static_cast<TComWhileInit*>(loop.get())->TComWhileInit::Transfer(b);
  }
  const int loopIndex = page_->Commands().Count();
  Place(std::move(loop), block.loopDepth, block.loopLine);
  block.loop->after = loopIndex + 1;
  for (TComBreak* b : block.breaks) b->target = loopIndex + 1;
  for (TComBreak* c : block.continues) c->target = loopIndex;
}

// Each component code's set lists every property any of its commands names; commands
// that lack one of them get an expression without value in its slot.
void PageBuilder::FinishSets() {
  TComList& list = page_->Commands();
  for (int i = 0; i < list.Count(); ++i) {
    auto* comp = dynamic_cast<TComComponent*>(&list[i]);
    if (!comp) continue;
    for (int id = 0; id < kPropertyCount; ++id)
      if (comp->props[static_cast<size_t>(id)]) page_->sets[static_cast<size_t>(comp->Kind())].Set(id);
  }
  for (int i = 0; i < list.Count(); ++i) {
    auto* comp = dynamic_cast<TComComponent*>(&list[i]);
    if (!comp) continue;
    const PropertySet& set = page_->sets[static_cast<size_t>(comp->Kind())];
    for (int id = 0; id < kPropertyCount; ++id)
      if (set.Has(id) && !comp->props[static_cast<size_t>(id)])
        comp->props[static_cast<size_t>(id)] = std::make_unique<Expression>();
  }
}

}  // namespace

void PageCompiler::AddSource(const std::string& pageName, const std::string& fileName, const std::string& text) {
  sources_.push_back({pageName, fileName, text});
}

std::vector<std::unique_ptr<TPage>> PageCompiler::Compile(int version) {
  std::vector<Fixup> fixups;
  std::vector<std::unique_ptr<TPage>> pages;
  for (const Source& s : sources_) {
    PageBuilder builder(s.pageName, s.fileName, version, fixups);
    pages.push_back(builder.Build(s.text));
  }
  for (Fixup& f : fixups) {
    if (f.label.empty()) {
      *f.field = f.fallback;
      continue;
    }
    const TPage* target = nullptr;
    for (const auto& p : pages)
      if (source_text::SameFileName(p->Name(), f.page)) target = p.get();
    if (!target)
      f.where.Fail("page '" + Cp932ToUtf8(f.page) + "' is not compiled with this one; give 'target:' instead of a label");
    int index = target->Commands().FindLabel(f.label);
    if (index < 0) f.where.Fail("label '" + Cp932ToUtf8(f.label) + "' not found in " + Cp932ToUtf8(f.page));
    *f.field = index;
  }
  return pages;
}

std::unique_ptr<TPage> CompilePageSource(const std::string& text, const std::string& pageName,
                                         const std::string& fileName, int version) {
  PageCompiler c;
  c.AddSource(pageName, fileName, text);
  return std::move(c.Compile(version).front());
}

}  // namespace vorn
