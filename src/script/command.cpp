// The command table (script names by code), the one factory from a code to a command class,
// the common header, the record reader/writer and the command list.
#include "script/command.h"

#include <array>

#include "resources/error.h"
#include "script/commands_component.h"
#include "script/commands_flow.h"
#include "script/commands_text.h"
#include "script/commands_variable.h"
#include "script/record_stream.h"

namespace vorn {

namespace {

// Shared with the authoring tool: the name of each command in the script language.
constexpr std::array<const char*, kCommandKinds> kScriptNames = {
    "If",          "Elseif",     "Else",        "Label",      "Jump",         "Call",
    "Exit",        "Wait",       "BoxNew",      "ImgNew",     "MesNew",       "Timer",
    "Movie",       "Flip",       "Calc",        "VarNew",     "VarDel",       "GetProp",
    "SetProp",     "ObjDel",     "TextIns",     "MovieStop",  "ClrHist",      "Cinema",
    "Caption",     "Menu",       "MenuClose",   "Comment",    "TextClr",      "CallHist",
    "Button",      "While",      "WhileInit",   "WhileLoop",  "Break",        "Continue",
    "ParticleNew", "FireNew",    "GameSave",    "GameLoad",   "PCReset",      "Reset",
    "Sound",       "EditNew",    "MemoNew",     "Terminate",  "DoEvent",      "ClrRead",
    "MapImgNew",   "WaveNew",    "TileNew",     "SliderNew",  "ScrollbarNew", "GaugeNew",
    "CGCaption",   "MediaPlay",  "PrevMenuNew", "PropMotion", "FormatHist",   "SaveCabinet",
    "LoadCabinet",
};

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

}  // namespace

const char* CommandScriptName(int code) {
  return code >= 0 && code < kCommandKinds ? kScriptNames[static_cast<size_t>(code)] : nullptr;
}

int CommandCodeOfName(const std::string& name) {
  for (int code = 0; code < kCommandKinds; ++code) {
    std::string_view n = kScriptNames[static_cast<size_t>(code)];
    if (n.size() != name.size()) continue;
    bool same = true;
    for (size_t i = 0; i < n.size() && same; ++i) same = Upper(n[i]) == Upper(name[i]);
    if (same) return code;
  }
  return -1;
}

std::unique_ptr<TCommand> CreateCommand(int code) {
  switch (code) {
    case kComIf: return std::make_unique<TComIf>();
    case kComElseif: return std::make_unique<TComElseif>();
    case kComElse: return std::make_unique<TComElse>();
    case kComLabel: return std::make_unique<TComLabel>();
    case kComJump: return std::make_unique<TComJump>();
    case kComCall: return std::make_unique<TComCall>();
    case kComExit: return std::make_unique<TComExit>();
    case kComWait: return std::make_unique<TComWait>();
    case kComBoxNew: return std::make_unique<TComBoxNew>();
    case kComImgNew: return std::make_unique<TComImgNew>();
    case kComMesNew: return std::make_unique<TComMesNew>();
    case kComTimer: return std::make_unique<TComTimer>();
    case kComMovie: return std::make_unique<TComMovie>();
    case kComFlip: return std::make_unique<TComFlip>();
    case kComCalc: return std::make_unique<TComCalc>();
    case kComVarNew: return std::make_unique<TComVarNew>();
    case kComVarDel: return std::make_unique<TComVarDel>();
    case kComGetProp: return std::make_unique<TComGetProp>();
    case kComSetProp: return std::make_unique<TComSetProp>();
    case kComObjDel: return std::make_unique<TComObjDel>();
    case kComTextIns: return std::make_unique<TComTextIns>();
    case kComMovieStop: return std::make_unique<TComMovieStop>();
    case kComClrHist: return std::make_unique<TComClrHist>();
    case kComCinema: return std::make_unique<TComCinema>();
    case kComCaption: return std::make_unique<TComCaption>();
    case kComMenu: return std::make_unique<TComMenu>();
    case kComMenuClose: return std::make_unique<TComMenuClose>();
    case kComComment: return std::make_unique<TComComment>();
    case kComTextClr: return std::make_unique<TComTextClr>();
    case kComCallHist: return std::make_unique<TComCallHist>();
    case kComButton: return std::make_unique<TComBtnNew>();
    case kComWhile: return std::make_unique<TComWhile>();
    case kComWhileInit: return std::make_unique<TComWhileInit>();
    case kComWhileLoop: return std::make_unique<TComWhileLoop>();
    case kComBreak: return std::make_unique<TComBreak>();
    case kComContinue: return std::make_unique<TComContinue>();
    case kComParticleNew: return std::make_unique<TComParticleNew>();
    case kComFireNew: return std::make_unique<TComFireNew>();
    case kComGameSave: return std::make_unique<TComGameSave>();
    case kComGameLoad: return std::make_unique<TComGameLoad>();
    case kComPCReset: return std::make_unique<TComPCReset>();
    case kComReset: return std::make_unique<TComReset>();
    case kComSound: return std::make_unique<TComSound>();
    case kComEditNew: return std::make_unique<TComEditNew>();
    case kComMemoNew: return std::make_unique<TComMemoNew>();
    case kComTerminate: return std::make_unique<TComTerminate>();
    case kComDoEvent: return std::make_unique<TComDoEvent>();
    case kComClrRead: return std::make_unique<TComClrRead>();
    case kComMapImgNew: return std::make_unique<TComMapImgNew>();
    case kComWaveNew: return std::make_unique<TComWaveNew>();
    case kComTileNew: return std::make_unique<TComTileNew>();
    case kComSliderNew: return std::make_unique<TComSliderNew>();
    case kComScrollbarNew: return std::make_unique<TComScrollbarNew>();
    case kComGaugeNew: return std::make_unique<TComGaugeNew>();
    case kComCGCaption: return std::make_unique<TComCGCaption>();
    case kComMediaPlay: return std::make_unique<TComMediaPlay>();
    case kComPrevMenuNew: return std::make_unique<TComPrevMenuNew>();
    case kComPropMotion: return std::make_unique<TComPropMotion>();
    case kComFormatHist: return std::make_unique<TComEntryHist>();
    case kComSaveCabinet: return std::make_unique<TComCabinetSave>();
    case kComLoadCabinet: return std::make_unique<TComCabinetLoad>();
    default: return nullptr;
  }
}

bool PropertySet::Empty() const {
  for (uint8_t b : bits)
    if (b) return false;
  return true;
}

const PropertySet& RecordIO::Set() const {
  static const PropertySet kEmpty;
  return set_ ? *set_ : kEmpty;
}

void TCommand::LoadFromStream(BinaryReader& r, int version, const PropertySet& set) {
  indent = r.I32("command indent");
  disabled_ = r.Bool("command disabled");
  continue_ = r.Bool("command continue");
  line = r.I32("command line");
  RecordReader io(r, version, &set);
  Transfer(io);
}

void TCommand::SaveToStream(BinaryWriter& w, int version, const PropertySet& set) const {
  w.I32(indent);
  w.Bool(disabled_);
  w.Bool(continue_);
  w.I32(line);
  RecordWriter io(w, version, &set);
  // Transfer is one routine for reading and writing; writing leaves the fields unchanged.
  const_cast<TCommand*>(this)->Transfer(io);
}

// ---- record reader and writer ----

// The smallest stored expression is its int32 operation count.
constexpr size_t kMinExpressionSize = 4;

void RecordReader::ExprList(std::vector<Expression>& list, const char* field) {
  int32_t n = r_.Count(field, kMinExpressionSize);
  list.clear();
  list.resize(static_cast<size_t>(n));
  for (auto& e : list) e.LoadFromStream(r_);
}

void RecordReader::Block(std::vector<uint8_t>& bytes, const char* field) {
  int32_t n = r_.Count(field, 1);
  bytes = r_.Bytes(static_cast<size_t>(n), field);
}

void RecordReader::Properties(PropertySlots& slots) {
  for (int id = 0; id < kPropertyCount; ++id) {
    auto& slot = slots[static_cast<size_t>(id)];
    if (!Set().Has(id)) {
      slot.reset();
      continue;
    }
    slot = std::make_unique<Expression>();
    slot->LoadFromStream(r_);
  }
}

void RecordWriter::ExprList(std::vector<Expression>& list, const char*) {
  w_.I32(static_cast<int32_t>(list.size()));
  for (auto& e : list) e.SaveToStream(w_);
}

void RecordWriter::Block(std::vector<uint8_t>& bytes, const char*) {
  w_.I32(static_cast<int32_t>(bytes.size()));
  w_.Bytes(bytes.data(), bytes.size());
}

void RecordWriter::Properties(PropertySlots& slots) {
  static const Expression kNoValue;
  for (int id = 0; id < kPropertyCount; ++id) {
    if (!Set().Has(id)) continue;
    const auto& slot = slots[static_cast<size_t>(id)];
    (slot ? *slot : kNoValue).SaveToStream(w_);
  }
}

// ---- command list ----

void TComList::Add(std::unique_ptr<TCommand> command) {
  command->SetOwner(this);
  items_.push_back(std::move(command));
}

int TComList::FindLabel(const std::string& name) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[static_cast<size_t>(i)]->IsLabel(name)) return i;
  return -1;
}

}  // namespace vorn
