// GIF through giflib: the first frame as an 8-bit surface with its palette, interlaced rows
// in order; the frame's transparent index is returned as the key colour.
#include <gif_lib.h>

#include <cstring>

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
  if (DGifSlurp(gif) != GIF_OK && gif->ImageCount == 0)
    check.Fail("image", GifErrorString(gif->Error) ? GifErrorString(gif->Error) : "unreadable");
  if (gif->ImageCount < 1) check.Fail("image count", "no image");
  const SavedImage& frame = gif->SavedImages[0];
  const GifImageDesc& d = frame.ImageDesc;
  CheckPictureSize(check, d.Width, d.Height, 8);
  if (!frame.RasterBits) check.Fail("image", "no pixels");
  const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
  if (!map) check.Fail("colour map", "missing");
  int64_t key = -1;
  GraphicsControlBlock gcb;
  if (DGifSavedExtensionToGCB(gif, 0, &gcb) == GIF_OK && gcb.TransparentColor >= 0) key = gcb.TransparentColor;

  s.FreeAlpha();
  s.SetSize(d.Width, d.Height, 8);
  s.Palette().fill(0);
  for (int i = 0; i < map->ColorCount && i < 256; ++i) {
    const GifColorType& c = map->Colors[i];
    s.Palette()[static_cast<size_t>(i)] = (uint32_t{c.Red} << 16) | (uint32_t{c.Green} << 8) | c.Blue;
  }
  // giflib's slurp has already put the rows of interlaced pictures in order.
  for (int32_t y = 0; y < d.Height; ++y)
    std::memcpy(s.Row(y), frame.RasterBits + static_cast<size_t>(y) * static_cast<size_t>(d.Width), static_cast<size_t>(d.Width));
  return key;
}

}  // namespace vorn
