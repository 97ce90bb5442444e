// GIF through giflib: the first frame as an 8-bit surface with its palette, interlaced rows
// in order; the frame's transparent index is returned as the key colour.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "graphics/picture_io.h"
#include "resources/error.h"

namespace vorn {

namespace {

struct GifSource {
  const uint8_t* data;
  size_t size, pos;
};

int ReadGifBytes(GifFileType* gif, GifByteType* buffer, int n) {
  GifSource* src = static_cast<GifSource*>(gif->UserData);
  size_t take = std::min(static_cast<size_t>(n < 0 ? 0 : n), src->size - src->pos);
  std::memcpy(buffer, src->data + src->pos, take);
  src->pos += take;
  return static_cast<int>(take);
}

}  // namespace

int64_t ReadGif(TDIBSurface& s, Stream& stream) {
  std::vector<uint8_t> data = ReadAllBytes(stream, "GIF");
  BinaryReader check(stream, "GIF");
  if (data.size() < 6 || (std::memcmp(data.data(), "GIF87a", 6) != 0 && std::memcmp(data.data(), "GIF89a", 6) != 0))
    check.Fail("signature", "not a GIF file");
  // The logical screen size is checked before giflib allocates anything for it.
  uint32_t sw = data.size() >= 10 ? data[6] | (data[7] << 8) : 0, sh = data.size() >= 10 ? data[8] | (data[9] << 8) : 0;
  if (sw == 0 || sh == 0) check.Fail("screen size", "empty");
  GifSource src{data.data(), data.size(), 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&src, ReadGifBytes, &error);
  if (!gif) check.Fail("header", GifErrorString(error) ? GifErrorString(error) : "unreadable");
  struct Guard {
    GifFileType* g;
    ~Guard() { int e; DGifCloseFile(g, &e); }
  } guard{gif};
  auto fail = [&](const char* field) {
    check.Fail(field, GifErrorString(gif->Error) ? GifErrorString(gif->Error) : "unreadable");
  };
  // Only the records up to the first image are read: the image's size is checked before any
  // pixel buffer exists (giflib's slurp would allocate every frame at its stated size first).
  int64_t key = -1;
  bool haveControl = false;
  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif, &type) != GIF_OK) fail("record");
    if (type == TERMINATE_RECORD_TYPE) check.Fail("image count", "no image");
    if (type == IMAGE_DESC_RECORD_TYPE) break;
    if (type != EXTENSION_RECORD_TYPE) fail("record");
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) != GIF_OK) fail("extension");
    // The first graphic control block before the image gives the transparent index.
    GraphicsControlBlock gcb;
    if (code == GRAPHICS_EXT_FUNC_CODE && block && !haveControl &&
        DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) {
      haveControl = true;
      if (gcb.TransparentColor >= 0) key = gcb.TransparentColor;
    }
    while (block)
      if (DGifGetExtensionNext(gif, &block) != GIF_OK) fail("extension");
  }
  if (DGifGetImageDesc(gif) != GIF_OK) fail("image");
  const GifImageDesc& d = gif->Image;
  CheckPictureSize(check, d.Width, d.Height, 8);
  // Every LZW code takes at least 3 bits and stands for at most 4096 pixels, so the bytes
  // left bound the pixels a real file can hold; a tiny file cannot demand a huge surface.
  const uint64_t left = data.size() - std::min(src.pos, data.size());
  if (uint64_t(d.Width) * uint64_t(d.Height) > (left * 8 / 3 + 1) * 4096)
    check.Fail("size", std::to_string(d.Width) + " x " + std::to_string(d.Height) + " pixels cannot come from the " +
                           std::to_string(left) + " bytes left");
  const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
  if (!map) check.Fail("colour map", "missing");

  s.FreeAlpha();
  s.SetSize(d.Width, d.Height, 8);
  s.Palette().fill(0);
  for (int i = 0; i < map->ColorCount && i < 256; ++i) {
    const GifColorType& c = map->Colors[i];
    s.Palette()[static_cast<size_t>(i)] = (uint32_t{c.Red} << 16) | (uint32_t{c.Green} << 8) | c.Blue;
  }
  // Rows come in file order: interlaced pictures in four passes. A picture whose data ends
  // early keeps the rows read so far (the rest stay index 0), as before.
  static constexpr int kPassStart[4] = {0, 4, 2, 1}, kPassStep[4] = {8, 8, 4, 2};
  const int passes = d.Interlace ? 4 : 1;
  for (int p = 0; p < passes; ++p) {
    const int first = d.Interlace ? kPassStart[p] : 0, step = d.Interlace ? kPassStep[p] : 1;
    for (int32_t y = first; y < d.Height; y += step)
      if (DGifGetLine(gif, s.Row(y), d.Width) != GIF_OK) return key;
  }
  return key;
}

}  // namespace vorn
