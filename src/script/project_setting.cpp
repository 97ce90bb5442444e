// Reading and writing of the project file. One field list serves both directions so the
// version gates are written once.
#include "script/project_setting.h"

#include "resources/error.h"
#include "resources/stream.h"
#include "resources/vr_texts.h"

namespace vorn {

const char kTextUnsupportedVersion[] =
    "\x82\xb1\x82\xcc\x83\x6f\x81\x5b\x83\x57\x83\x87\x83\x93\x82\xc9\x82\xcd\x91\xce\x89\x9e"
    "\x82\xb5\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1";

namespace {

struct ReadIO {
  BinaryReader& r;
  void Int(int32_t& v, const char* f) { v = r.I32(f); }
  void Byte(uint8_t& v, const char* f) { v = r.U8(f); }
  void Bool(bool& v, const char* f) { v = r.Bool(f); }
  void Str(std::string& v, const char* f) { v = r.CountedString(f); }
};

struct WriteIO {
  BinaryWriter& w;
  void Int(int32_t& v, const char*) { w.I32(v); }
  void Byte(uint8_t& v, const char*) { w.U8(v); }
  void Bool(bool& v, const char*) { w.Bool(v); }
  void Str(std::string& v, const char*) { w.CountedString(v); }
};

// Smallest variable record: type byte and an empty name.
constexpr size_t kMinVariableSize = 1 + 4;

}  // namespace

TProjectSetting::TProjectSetting()
    : diskChangeMessage(kTextDefaultDiskChange), exitMessage(kTextDefaultExitConfirm) {}

template <class IO>
void TProjectSetting::Transfer(IO& io) {
  io.Str(title, "title");
  io.Int(screenWidth, "screen width");
  io.Int(screenHeight, "screen height");
  io.Int(fullScreenWidth, "full-screen width");
  io.Int(fullScreenHeight, "full-screen height");
  io.Str(startPage, "start page");
  if (version >= 110) io.Str(endPage, "end page");
  io.Str(registryKey, "registry key");
  io.Int(idCode, "identification code");
  if (version > 103) io.Bool(keepStatus, "keep status data");
  if (version >= 106) io.Byte(reserved106, "reserved flag");
  if (version >= 109) io.Str(neverAskExtensions, "never-ask extensions");
  if (version >= 113) io.Bool(pauseWhenInactive, "pause when inactive");
  if (version >= 114) io.Byte(reserved114, "reserved flag");
  if (version >= 116) io.Bool(toolbarVisible, "toolbar visible");
  io.Str(diskChangeMessage, "disk-change message");
  io.Str(exitMessage, "exit message");
}

void TProjectSetting::LoadFromBytes(std::span<const uint8_t> bytes) {
  MemoryView view(bytes);
  BinaryReader r(view, "project file");
  LoadFromStream(r);
}

void TProjectSetting::LoadFromStream(BinaryReader& r) {
  *this = TProjectSetting();
  version = r.I32("version");
  if (version > kProjectVersionMax) throw EVornError(kTextUnsupportedVersion);
  ReadIO io{r};
  Transfer(io);
  int32_t n = r.Count("project variable count", kMinVariableSize);
  for (int32_t i = 0; i < n; ++i) {
    ProjectVariable v;
    v.type = r.U8("project variable type");
    v.name = r.CountedString("project variable name");
    switch (v.type) {
      case 1: v.intValue = r.I32("project variable value"); break;
      case 2: v.realValue = r.Extended("project variable value"); break;
      case 3: v.flagValue = r.Bool("project variable value"); break;
      case 4: v.strValue = r.CountedString("project variable value"); break;
      default: continue;  // a type without a value stores nothing more; the variable is skipped
    }
    variables.push_back(std::move(v));
  }
  folders.LoadFromStream(r);
}

void TProjectSetting::SaveToStream(BinaryWriter& w) const {
  w.I32(version);
  WriteIO io{w};
  const_cast<TProjectSetting*>(this)->Transfer(io);  // writing leaves the fields unchanged
  w.I32(static_cast<int32_t>(variables.size()));
  for (const auto& v : variables) {
    w.U8(v.type);
    w.CountedString(v.name);
    switch (v.type) {
      case 1: w.I32(v.intValue); break;
      case 2: w.Extended(v.realValue); break;
      case 3: w.Bool(v.flagValue); break;
      case 4: w.CountedString(v.strValue); break;
      default: break;
    }
  }
  folders.SaveToStream(w);
}

std::vector<uint8_t> TProjectSetting::SaveToBytes() const {
  MemoryStream out;
  BinaryWriter w(out);
  SaveToStream(w);
  return out.Take();
}

}  // namespace vorn
