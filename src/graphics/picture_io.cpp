// Choosing a picture reader by extension or signature, and a writer by extension.
#include "graphics/picture_io.h"

#include <cstring>

#include "resources/error.h"
#include "resources/sjis_case.h"

namespace vorn {

namespace {

bool HasExtension(const std::string& name, const char* ext) {
  size_t n = std::strlen(ext);
  return name.size() >= n && SameText(name.substr(name.size() - n), ext);
}

}  // namespace

int64_t LoadPicture(TDIBSurface& s, Stream& stream, const std::string& name, const PictureLoadOptions& options) {
  if (HasExtension(name, ".tga")) return ReadTga(s, stream);
  if (HasExtension(name, ".ico") || HasExtension(name, ".cur")) {
    ReadIcon(s, stream, options.chooseIcon);
    return -1;
  }
  // Strongest signature first: PNG's eight bytes, GIF's six, JPEG's three, the bitmap's two.
  uint8_t head[8] = {};
  int64_t start = stream.Position();
  size_t got = stream.Read(head, sizeof head);
  stream.Seek(start);
  static const uint8_t png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  int64_t key = -1;
  if (got >= 8 && std::memcmp(head, png, 8) == 0) {
    ReadPng(s, stream);
  } else if (got >= 6 && (std::memcmp(head, "GIF87a", 6) == 0 || std::memcmp(head, "GIF89a", 6) == 0)) {
    key = ReadGif(s, stream);
  } else if (got >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) {
    ReadJpeg(s, stream);
  } else if (got >= 2 && head[0] == 'B' && head[1] == 'M') {
    ReadBmp(s, stream);
  } else {
    throw EFormatError("picture " + name + ": signature: not a known picture format");
  }
  if (options.keepAlpha && s.BitCount() == 32) {
    s.EnsureAlpha();
    for (int32_t y = 0; y < s.Height(); ++y) {
      const uint8_t* row = s.Row(y);
      uint8_t* a = s.Alpha()->Row(y);
      for (int32_t x = 0; x < s.Width(); ++x) a[x] = row[4 * x + 3];
    }
    s.ConvertDepth(24);
  }
  return key;
}

void SavePicture(const TDIBSurface& s, Stream& stream, const std::string& name) {
  if (HasExtension(name, ".tga")) WriteTga(s, stream);
  else if (HasExtension(name, ".ico")) WriteIcon(s, stream, false);
  else if (HasExtension(name, ".cur")) WriteIcon(s, stream, true);
  else WriteBmp(s, stream);
}

}  // namespace vorn
