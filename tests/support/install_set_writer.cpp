// The version gates of install.dat written out field by field, independently of the reader.
#include "install_set_writer.h"

#include <cstdio>
#include <string>

#include "resources/binary_reader.h"

namespace vorn::testing {

std::vector<uint8_t> WriteInstallSetVersion(const TVornInstallSet& set, int version) {
  MemoryStream m;
  BinaryWriter w(m);
  if (version > 0) {
    char magic[16];
    std::snprintf(magic, sizeof magic, "is%03d", version % 1000);
    w.FixedString(magic);
  }
  w.I32(set.diskNumber);
  w.CountedString(set.title);
  for (const auto& s : set.settings) w.CountedString(s);
  w.U8(set.option7);
  w.CountedString(set.string8);
  w.U8(set.option9);
  w.I32(static_cast<int32_t>(set.sizes[0].size()));
  w.CountedString(set.string11);
  w.I32(set.value12);
  w.U8(set.option13);
  w.U8(set.option14);
  w.CountedString(set.string15);
  w.CountedString(set.string16);
  auto size = [&](int64_t v) {
    if (version >= 100) {
      w.I64(v);
    } else {
      w.U32(static_cast<uint32_t>(v));
    }
  };
  for (size_t i = 0; i < set.sizes[0].size(); ++i) {
    for (const auto& column : set.sizes) size(column[i]);
  }
  for (int64_t t : set.totals) size(t);
  w.U8(set.option19);
  if (version >= 101) w.U8(set.option20);
  auto list = [&](const std::vector<std::string>& l) {
    w.I32(static_cast<int32_t>(l.size()));
    for (const auto& s : l) w.CountedString(s);
  };
  if (version >= 102) list(set.installedFiles);
  if (version >= 103) w.U8(set.fullInstall);
  if (version >= 104) w.U8(set.option23);
  if (version >= 105) w.U8(set.option24);
  if (version >= 106) list(set.secondList);
  if (version >= 107) w.CountedString(set.string26);
  if (version >= 108) {
    w.CountedString(set.string27);
    w.CountedString(set.string28);
  }
  return m.Take();
}

}  // namespace vorn::testing
