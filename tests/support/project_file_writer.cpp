// Test writer of project files; see project_file_writer.h.
#include "support/project_file_writer.h"

#include "resources/stream.h"

namespace vorn::testing {

std::vector<uint8_t> WriteProjectFile(const TProjectSetting& s, const std::vector<RawProjectVariable>& variables) {
  MemoryStream out;
  BinaryWriter w(out);
  const int v = s.version;
  w.I32(v);
  w.CountedString(s.title);
  w.I32(s.screenWidth);
  w.I32(s.screenHeight);
  w.I32(s.fullScreenWidth);
  w.I32(s.fullScreenHeight);
  w.CountedString(s.startPage);
  if (v >= 110) w.CountedString(s.endPage);
  w.CountedString(s.registryKey);
  w.I32(s.idCode);
  if (v >= 104) w.Bool(s.keepStatus);
  if (v >= 106) w.U8(s.reserved106);
  if (v >= 109) w.CountedString(s.neverAskExtensions);
  if (v >= 113) w.Bool(s.pauseWhenInactive);
  if (v >= 114) w.U8(s.reserved114);
  if (v >= 116) w.Bool(s.toolbarVisible);
  w.CountedString(s.diskChangeMessage);
  w.CountedString(s.exitMessage);
  w.I32(static_cast<int32_t>(variables.size()));
  for (const auto& var : variables) {
    w.U8(var.type);
    w.CountedString(var.name);
    w.Bytes(var.value.data(), var.value.size());
  }
  s.folders.SaveToStream(w);
  return out.Take();
}

}  // namespace vorn::testing
