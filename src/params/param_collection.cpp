// The variable manager: lookup with local scopes, the variable stack, and the variables'
// sections of the saved game and of the status save.
#include "params/param_collection.h"

#include "params/number_format.h"
#include "params/param_messages.h"
#include "resources/cp932.h"
#include "resources/error.h"
#include "resources/sjis_case.h"
#include "resources/stream.h"

namespace vorn {

const std::array<const char*, kSystemVariableCount> kSystemVariableNames = {{
    "@Result", "@LClick", "@RClick", "@LPush", "@RPush", "@MouseX", "@MouseY", "@TextDelay",
    "@HistoryCount", "@ParamCount", "@ParamStr", "@Sender", "@ScrWidth", "@ScrHeight", "@TickCount",
    "@PCTickCount", "@UpdateCount", "@Year", "@Month", "@Day", "@Week", "@Hour", "@Min", "@Sec",
    "@Fonts", "@FixedFonts", "@FullScr", "@Cursor", "@SelStr", "@SelIndex", "@Pi", "@CGDither",
    "@1Hour", "@1Min", "@1Sec", "@KeyPush", "@KeyClick", "@DisplayModeCount", "@DisplayModeIndex",
    "@Title", "@SoundON", "@ActiveCompo", "@KeyRepeat", "@HistoryMaxCount", "@Temp", "@MidiPort",
    "@MidiPorts", "@WheelDown", "@WheelUp", "@IsDebug", "@StackCount",
}};

namespace {

std::string Format1(const char* pattern, std::string_view arg) {
  std::string out = pattern;
  size_t p = out.find("%s");
  if (p != std::string::npos) out.replace(p, 2, arg);
  return out;
}

// One variable record parsed from a save, not yet in the collection.
struct PendingRecord {
  std::string name;
  std::unique_ptr<TCustomParam> value;
  uint8_t status, reserved, local;
  int32_t scope;
};

PendingRecord ReadRecord(BinaryReader& r) {
  PendingRecord rec;
  uint8_t type = r.U8("variable type");
  if (type > PT_STR) r.Fail("variable type", "unknown type code " + std::to_string(type));
  rec.name = r.CountedString("variable name");
  rec.value = CreateParam(type);
  rec.value->LoadFromStream(r);
  rec.status = r.U8("status flag");
  rec.reserved = r.U8("reserved byte");
  rec.scope = r.I32("scope id");
  rec.local = r.U8("local flag");
  return rec;
}

// The collection item for a record read from a save (the caller names it when adding it).
std::unique_ptr<TParamCollectionItem> MakeItem(PendingRecord& rec) {
  auto item = std::make_unique<TParamCollectionItem>(std::move(rec.value));
  item->Status = rec.status;
  item->Reserved = rec.reserved;
  item->ScopeId = rec.scope;
  item->Local = rec.local;
  return item;
}

// A frame of the variable stack: int32 count, then type (int32), name, saved value per
// variable. Reads one and returns its records; raises EFormatError on damaged data.
struct FrameRecord {
  uint8_t type;
  std::string name;
  std::unique_ptr<TCustomParam> value;
};

std::vector<FrameRecord> ReadFrame(BinaryReader& r) {
  int32_t n = r.Count("stack frame variable count", 9);
  std::vector<FrameRecord> out;
  for (int32_t i = 0; i < n; ++i) {
    FrameRecord f;
    int32_t type = r.I32("stack variable type");
    if (type < PT_INT || type > PT_STR) r.Fail("stack variable type", "unknown type code " + std::to_string(type));
    f.type = static_cast<uint8_t>(type);
    f.name = r.CountedString("stack variable name");
    f.value = CreateParam(f.type);
    f.value->LoadFromStream(r);
    out.push_back(std::move(f));
  }
  return out;
}

}  // namespace

// ---- TParamCollectionItem -------------------------------------------------------------------

TParamCollectionItem::TParamCollectionItem(std::unique_ptr<TCustomParam> value)
    : value_(std::move(value)), cell_(std::make_shared<TParamCollectionItem*>(this)), handle_(cell_) {
  if (!value_) value_ = std::make_unique<TParamVar>();
}

TParamCollectionItem::~TParamCollectionItem() { *cell_ = nullptr; }

void TParamCollectionItem::SetValue(std::unique_ptr<TCustomParam> value) {
  if (value) value_ = std::move(value);
}

void TParamCollectionItem::WriteRecord(BinaryWriter& w) const {
  w.U8(value_->StoredType());
  w.CountedString(Name());
  value_->SaveToStream(w);
  w.U8(Status);
  w.U8(Reserved);
  w.I32(ScopeId);
  w.U8(Local);
}

// ---- TParamCollection -----------------------------------------------------------------------

TParamCollection::TParamCollection() {
  for (int i = 0; i < kSystemVariableCount; ++i) {
    auto item = std::make_unique<TParamCollectionItem>(std::make_unique<TParamSystem>(i, nullptr));
    item->system_ = true;
    TParamCollectionItem* p = Add(std::move(item));
    p->SetName(kSystemVariableNames[static_cast<size_t>(i)]);
  }
}

TParamCollection::~TParamCollection() = default;

void TParamCollection::SetSystemHook(TSystemVarHook* hook) {
  hook_ = hook;
  for (int i = 0; i < kSystemVariableCount && i < Count(); ++i) {
    if (auto* sys = dynamic_cast<TParamSystem*>(&Item(i)->Value())) sys->SetHook(hook);
  }
}

void TParamCollection::CheckName(std::string_view name) {
  bool bad = name.empty() || name.find(' ') != std::string_view::npos || (name[0] >= '0' && name[0] <= '9');
  if (bad) throw EVornError(Format1(params_text::kMsgBadVarName, name));
}

TParamCollectionItem* TParamCollection::AddVariable(uint8_t type) {
  return Add(std::make_unique<TParamCollectionItem>(CreateParam(type)));
}

TParamCollectionItem* TParamCollection::CreateVariable(const std::string& name, uint8_t type, uint8_t scope) {
  CheckName(name);
  auto value = CreateParam(type);  // raises before anything is added
  TParamCollectionItem* item = Add(std::make_unique<TParamCollectionItem>(std::move(value)));
  item->SetName(name);
  switch (scope) {
    case SCOPE_AUTO: item->ScopeId = currentScope_; break;
    case SCOPE_LOCAL: item->Local = 1; item->ScopeId = currentScope_; break;
    case SCOPE_STATUS: item->Status = 1; break;
    default: break;
  }
  return item;
}

TParamCollectionItem* TParamCollection::FindVariable(std::string_view name) const {
  TParamCollectionItem* found = nullptr;
  for (THashCollectionItem* p = ChainHead(name); p; p = p->ChainNext()) {
    if (!SameText(p->Name(), name)) continue;
    auto* item = static_cast<TParamCollectionItem*>(p);
    if (item->Local) {
      if (item->ScopeId == currentScope_) return item;
    } else {
      found = item;  // new items are linked at the head: the last met is the oldest
    }
  }
  return found;
}

TParamCollectionItem* TParamCollection::FindForCreate(std::string_view name, bool local) const {
  for (THashCollectionItem* p = ChainHead(name); p; p = p->ChainNext()) {
    if (!SameText(p->Name(), name)) continue;
    auto* item = static_cast<TParamCollectionItem*>(p);
    if (local) {
      if (item->Local && item->ScopeId == currentScope_) return item;
    } else if (!item->Local) {
      return item;
    }
  }
  return nullptr;
}

std::unique_ptr<TCustomParam> TParamCollection::CopyValue(std::string_view name) const {
  TParamCollectionItem* item = FindVariable(name);
  if (!item) return nullptr;
  if (item->GetType() == PT_NONE) throw EVornError(Format1(params_text::kMsgBadVariable, name));
  return item->Value().Clone();
}

void TParamCollection::DeleteVariable(TParamCollectionItem* item) {
  if (!item || item->IsSystem() || item->Index() < 0) return;
  Delete(item->Index());
}

void TParamCollection::DeleteScope(int32_t id) {
  for (int i = Count() - 1; i >= 0; --i) {
    TParamCollectionItem* item = Item(i);
    if (!item->IsSystem() && item->ScopeId == id) Delete(i);
  }
}

void TParamCollection::LowerScopesAbove(int32_t id) {
  for (int i = 0; i < Count(); ++i) {
    TParamCollectionItem* item = Item(i);
    if (item->ScopeId > id) --item->ScopeId;
  }
}

void TParamCollection::Reset() {
  for (int i = Count() - 1; i >= 0; --i) {
    TParamCollectionItem* item = Item(i);
    if (!item->IsSystem() && !item->Status) Delete(i);
  }
  TextDelay = 50;
  Cursor.clear();
}

// ---- variable stack -------------------------------------------------------------------------

void TParamCollection::PushVariables(const std::vector<std::string>& names) {
  std::vector<TParamCollectionItem*> items;
  for (const std::string& n : names) {
    TParamCollectionItem* item = FindVariable(n);
    if (item && item->GetType() != PT_NONE) items.push_back(item);
  }
  MemoryStream frame;
  BinaryWriter w(frame);
  w.I32(static_cast<int32_t>(items.size()));
  for (TParamCollectionItem* item : items) {
    uint8_t type = item->GetType();
    w.I32(type);
    w.CountedString(item->Name());
    // A system variable is saved as a snapshot of its type; others as they are.
    if (item->Value().StoredType() == type) {
      item->Value().SaveToStream(w);
    } else {
      auto snap = CreateParam(type);
      snap->CopyFrom(item->Value());
      snap->SaveToStream(w);
    }
  }
  stack_.push_back(frame.Take());
}

void TParamCollection::PopVariables() {
  if (stack_.empty()) return;
  std::vector<FrameRecord> records;
  {
    MemoryView view(stack_.back());
    BinaryReader r(view, "variable stack");
    records = ReadFrame(r);
  }
  stack_.pop_back();
  for (FrameRecord& rec : records) {
    TParamCollectionItem* item = FindVariable(rec.name);
    if (item && item->GetType() != rec.type && !item->IsSystem()) {
      DeleteVariable(item);
      item = FindVariable(rec.name);
    }
    if (!item) {
      item = AddVariable(rec.type);
      item->SetName(rec.name);
    }
    if (item->Value().StoredType() == rec.type) {
      item->Value().AssignRaw(*rec.value);
    } else {
      item->Value().CopyFrom(*rec.value);
    }
  }
}

// ---- saves ----------------------------------------------------------------------------------

bool TParamCollection::IsSaved(const TParamCollectionItem& item, bool status) const {
  return !item.IsSystem() && (item.Status != 0) == status;
}

void TParamCollection::WriteStatusSection(BinaryWriter& w) const {
  int32_t n = 0;
  for (int i = 0; i < Count(); ++i) n += IsSaved(*Item(i), true) ? 1 : 0;
  w.I32(n);
  for (int i = Count() - 1; i >= 0; --i) {
    if (IsSaved(*Item(i), true)) Item(i)->WriteRecord(w);
  }
}

void TParamCollection::WriteGameSection(BinaryWriter& w) const {
  int32_t n = 0;
  for (int i = 0; i < Count(); ++i) n += IsSaved(*Item(i), false) ? 1 : 0;
  w.I32(n);
  for (int i = Count() - 1; i >= 0; --i) {
    if (IsSaved(*Item(i), false)) Item(i)->WriteRecord(w);
  }
  w.I32(TextDelay);
  w.CountedString(Cursor);
  w.CountedString(SelStr);
  w.I32(SelIndex);
  w.CountedString(TempName);
  w.I32(static_cast<int32_t>(stack_.size()));
  for (const auto& frame : stack_) w.Bytes(frame.data(), frame.size());
}

TGameSectionExtras TParamCollection::ReadGameSection(BinaryReader& r, int version) {
  // Everything is parsed first, so a damaged section changes nothing.
  int32_t n = r.Count("variable count", 15);
  std::vector<PendingRecord> records;
  for (int32_t i = 0; i < n; ++i) records.push_back(ReadRecord(r));
  int32_t textDelay = r.I32("@TextDelay");
  std::string cursor = r.CountedString("@Cursor");
  std::string selStr = SelStr;
  int32_t selIndex = SelIndex;
  if (version >= 103) {
    selStr = r.CountedString("@SelStr");
    selIndex = r.I32("@SelIndex");
  }
  TGameSectionExtras extras;
  if (version >= 113 && version <= 134) {
    std::array<int32_t, 6> v{};
    for (auto& x : v) x = r.I32("history format value");
    extras.legacyHistoryFormat = v;
  }
  std::string tempName = TempName;
  if (version >= 121) tempName = r.CountedString("@Temp name");
  std::vector<std::vector<uint8_t>> frames;
  if (version >= 139) {
    int32_t count = r.Count("variable stack frame count", 4);
    for (int32_t i = 0; i < count; ++i) {
      int64_t start = r.Position();
      ReadFrame(r);
      int64_t end = r.Position();
      r.stream().Seek(start);
      frames.push_back(r.Bytes(static_cast<size_t>(end - start), "variable stack frame"));
    }
  }

  for (int i = Count() - 1; i >= 0; --i) {
    if (IsSaved(*Item(i), false)) Delete(i);
  }
  for (PendingRecord& rec : records) {
    if (!rec.name.empty()) Add(MakeItem(rec))->SetName(rec.name);
  }
  TextDelay = textDelay;
  Cursor = std::move(cursor);
  SelStr = std::move(selStr);
  SelIndex = selIndex;
  TempName = std::move(tempName);
  stack_ = std::move(frames);
  return extras;
}

void TParamCollection::ReadStatusSection(BinaryReader& r, int /*version*/) {
  int32_t n = r.Count("status variable count", 15);
  std::vector<PendingRecord> records;
  for (int32_t i = 0; i < n; ++i) records.push_back(ReadRecord(r));
  for (PendingRecord& rec : records) {
    if (!rec.name.empty()) Add(MakeItem(rec))->SetName(rec.name);
  }
}

// ---- dump -----------------------------------------------------------------------------------

namespace {

void AppendEscaped(std::string& out, const std::string& cp932) {
  for (char c : Cp932ToUtf8(cp932)) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out.push_back(c);
    }
  }
}

}  // namespace

std::string DumpVariables(const TParamCollection& vars) {
  std::string out;
  for (int i = 0; i < vars.Count(); ++i) {
    const TParamCollectionItem* item = vars.Item(i);
    if (item->IsSystem()) continue;
    if (!item->Name().empty() && item->Name()[0] == '\x01') continue;
    const TCustomParam& v = item->Value();
    const char* label = nullptr;
    switch (v.StoredType()) {
      case PT_INT: label = "int"; break;
      case PT_FLOAT: label = "real"; break;
      case PT_BOOL: label = "flag"; break;
      case PT_STR: label = "string"; break;
      default: continue;
    }
    AppendEscaped(out, item->Name());
    out.push_back('\t');
    out += label;
    out.push_back('\t');
    for (int k = 0; k < v.GetCount(); ++k) {
      if (k) out.push_back(',');
      AppendEscaped(out, v.GetStrAt(k));
    }
    out.push_back('\n');
  }
  return out;
}

}  // namespace vorn
