// Field-by-field listing of pages through the same record description the reader uses.
#include "script/page_dump.h"

#include <cstdio>

#include "resources/stream.h"

namespace vorn {

namespace {

std::string Hex(const std::vector<uint8_t>& bytes) {
  std::string out;
  char buf[4];
  for (uint8_t b : bytes) {
    std::snprintf(buf, sizeof buf, "%02x", b);
    out += buf;
  }
  return out;
}

std::string ExprText(const Expression& e) {
  MemoryStream s;
  BinaryWriter w(s);
  e.SaveToStream(w);
  return "{" + Hex(s.Data()) + "}";
}

class RecordDumper final : public RecordIO {
 public:
  RecordDumper(int version, const PropertySet* set) : RecordIO(version, set) {}
  void Int(int32_t& v, const char* f, FieldRole) override { Add(f, std::to_string(v)); }
  void Byte(uint8_t& v, const char* f) override { Add(f, std::to_string(v)); }
  void Str(std::string& v, const char* f) override { Add(f, "\"" + v + "\""); }
  void Expr(Expression& e, const char* f) override { Add(f, ExprText(e)); }
  void ExprList(std::vector<Expression>& list, const char* f) override {
    std::string t = "[";
    for (size_t i = 0; i < list.size(); ++i) t += (i ? "," : "") + ExprText(list[i]);
    Add(f, t + "]");
  }
  void Block(std::vector<uint8_t>& bytes, const char* f) override { Add(f, "<" + Hex(bytes) + ">"); }
  void Properties(PropertySlots& slots) override {
    for (int id = 0; id < kPropertyCount; ++id) {
      const auto& slot = slots[static_cast<size_t>(id)];
      if (slot) Add(FindPropertyInfo(id)->name, ExprText(*slot));
    }
  }
  std::string text;

 private:
  void Add(const char* field, const std::string& value) { text += std::string(" ") + field + "=" + value; }
};

}  // namespace

std::string DumpCommand(const TCommand& c, int version, const PropertySet& set) {
  RecordDumper d(version, &set);
  const_cast<TCommand&>(c).Transfer(d);  // the dumper only reads the fields
  std::string head = std::string(CommandScriptName(c.Kind())) + " indent=" + std::to_string(c.indent) +
                     " disabled=" + std::to_string(c.StoredDisabled()) +
                     " continue=" + std::to_string(c.StoredContinue()) + " line=" + std::to_string(c.line) +
                     (c.highBit ? " high" : "");
  return head + " |" + d.text;
}

std::string DumpPage(const TPage& page) {
  std::string out = "version=" + std::to_string(page.version) +
                    " result=" + std::to_string(page.resultType) + "\n";
  for (int code = 0; code < kCommandKinds; ++code) {
    const PropertySet& set = page.sets[static_cast<size_t>(code)];
    if (set.Empty()) continue;
    out += std::string("set ") + CommandScriptName(code) + ":";
    for (int id = 0; id < static_cast<int>(PropertySet::kBytes * 8); ++id)
      if (set.Has(id)) out += " " + std::to_string(id);
    out += "\n";
  }
  const TComList& list = page.Commands();
  for (int i = 0; i < list.Count(); ++i)
    out += std::to_string(i) + " " +
           DumpCommand(list[i], page.version, page.sets[static_cast<size_t>(list[i].Kind())]) + "\n";
  return out;
}

}  // namespace vorn
