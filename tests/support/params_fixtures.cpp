// Old-version writers of the variable sections (see params_fixtures.h).
#include "params_fixtures.h"

namespace vorn::testing {

void WriteGameSectionAt(const TParamCollection& vars, BinaryWriter& w, int version,
                        const std::array<int32_t, 6>& historyFormat) {
  std::vector<const TParamCollectionItem*> items;
  for (int i = vars.Count() - 1; i >= 0; --i) {
    const TParamCollectionItem* item = vars.Item(i);
    if (!item->IsSystem() && !item->Status) items.push_back(item);
  }
  w.I32(static_cast<int32_t>(items.size()));
  for (const TParamCollectionItem* item : items) item->WriteRecord(w);
  w.I32(vars.TextDelay);
  w.CountedString(vars.Cursor);
  if (version >= 103) {
    w.CountedString(vars.SelStr);
    w.I32(vars.SelIndex);
  }
  if (version >= 113 && version <= 134) {
    for (int32_t v : historyFormat) w.I32(v);
  }
  if (version >= 121) w.CountedString(vars.TempName);
  if (version >= 139) {
    w.I32(static_cast<int32_t>(vars.VariableStack().size()));
    for (const auto& frame : vars.VariableStack()) w.Bytes(frame.data(), frame.size());
  }
}

}  // namespace vorn::testing
