// Fixture writers for pictures; each writes the format directly (BMP, TGA, icon) or through
// the format's library (PNG, JPEG, GIF).
#include "picture_writers.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>

namespace vorn::testing {

namespace {

struct Bytes {
  std::vector<uint8_t> d;
  void U8(uint32_t v) { d.push_back(static_cast<uint8_t>(v)); }
  void U16(uint32_t v) { U8(v), U8(v >> 8); }
  void U32(uint32_t v) { U16(v), U16(v >> 16); }
  void Put32At(size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) d[at + i] = static_cast<uint8_t>(v >> (8 * i)); }
};

const uint32_t kColours[16] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF00FF,
                               0x808080, 0x800000, 0x008000, 0x000080, 0x808000, 0x008080, 0x800080, 0xC0C0C0};

int IndexOf(uint32_t c, int n) {
  for (int i = 0; i < n; ++i) if (kColours[i] == c) return i;
  throw std::runtime_error("colour not in the test palette");
}

uint32_t Pack(uint32_t c, const uint32_t masks[3]) {
  uint32_t out = 0;
  int shifts[3] = {16, 8, 0};
  for (int k = 0; k < 3; ++k) {
    uint32_t m = masks[k];
    if (!m) continue;
    int lo = __builtin_ctz(m), width = __builtin_popcount(m);
    uint32_t v = (c >> shifts[k]) & 0xFF;
    out |= ((v >> (8 - width)) << lo) & m;
  }
  return out;
}

void RowRle(Bytes& b, const std::vector<int>& idx, bool four) {
  // Runs of equal values as encoded runs; everything else as absolute runs of >= 3 or short runs.
  size_t i = 0;
  while (i < idx.size()) {
    size_t j = i;
    while (j < idx.size() && idx[j] == idx[i] && j - i < 254) ++j;
    if (j - i >= 2 || idx.size() - i < 3) {
      size_t n = std::max<size_t>(j - i, 1);
      b.U8(static_cast<uint32_t>(n));
      b.U8(four ? static_cast<uint32_t>((idx[i] << 4) | idx[i]) : static_cast<uint32_t>(idx[i]));
      i += n;
      continue;
    }
    size_t n = std::min<size_t>(idx.size() - i, 3);
    b.U8(0), b.U8(static_cast<uint32_t>(n));
    size_t bytes = four ? (n + 1) / 2 : n;
    for (size_t k = 0; k < bytes; ++k) {
      if (four) b.U8(static_cast<uint32_t>((idx[i + 2 * k] << 4) | (i + 2 * k + 1 < i + n ? idx[i + 2 * k + 1] : 0)));
      else b.U8(static_cast<uint32_t>(idx[i + k]));
    }
    if (bytes & 1) b.U8(0);
    i += n;
  }
  b.U8(0), b.U8(0);
}

void DibPixels(Bytes& b, int bits, int width, int height, const PictureFn& pic, bool topDown, const uint32_t masks[3],
               int colours) {
  int rowBytes = (width * bits + 31) / 32 * 4;
  for (int r = 0; r < height; ++r) {
    int y = topDown ? r : height - 1 - r;
    std::vector<uint8_t> row(static_cast<size_t>(rowBytes), 0);
    for (int x = 0; x < width; ++x) {
      uint32_t c = pic(x, y);
      switch (bits) {
        case 1: if (IndexOf(c, colours) & 1) row[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7)); break;
        case 4: row[x >> 1] |= static_cast<uint8_t>(IndexOf(c, colours) << ((x & 1) ? 0 : 4)); break;
        case 8: row[x] = static_cast<uint8_t>(IndexOf(c, colours)); break;
        case 16: { uint32_t v = Pack(c, masks); row[2 * x] = static_cast<uint8_t>(v); row[2 * x + 1] = static_cast<uint8_t>(v >> 8); break; }
        case 24: row[3 * x] = static_cast<uint8_t>(c), row[3 * x + 1] = static_cast<uint8_t>(c >> 8), row[3 * x + 2] = static_cast<uint8_t>(c >> 16); break;
        default: { uint32_t v = Pack(c, masks); std::memcpy(&row[4 * static_cast<size_t>(x)], &v, 4); break; }
      }
    }
    b.d.insert(b.d.end(), row.begin(), row.end());
  }
}

}  // namespace

uint32_t TestPaletteColour(int index) { return kColours[index & 15]; }

PictureFn IndexedPicture(int colours) {
  return [colours](int x, int y) { return kColours[(x + 2 * y) % colours]; };
}

std::vector<uint8_t> MakeBmp(const BmpVariant& v, int width, int height, const PictureFn& pic) {
  Bytes b;
  b.U16(0x4D42), b.U32(0), b.U32(0), b.U32(0);
  int colours = v.bits <= 8 ? std::min(1 << v.bits, 16) : 0;
  uint32_t masks[3] = {v.masks[0], v.masks[1], v.masks[2]};
  if (v.compression != 3) {
    if (v.bits == 16) masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x1F;
    if (v.bits == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
  }
  b.U32(static_cast<uint32_t>(v.headerSize));
  if (v.headerSize == 12) {
    b.U16(static_cast<uint32_t>(width)), b.U16(static_cast<uint32_t>(height)), b.U16(1), b.U16(static_cast<uint32_t>(v.bits));
  } else {
    b.U32(static_cast<uint32_t>(width)), b.U32(static_cast<uint32_t>(v.topDown ? -height : height));
    b.U16(1), b.U16(static_cast<uint32_t>(v.bits)), b.U32(static_cast<uint32_t>(v.compression));
    b.U32(0), b.U32(0), b.U32(0), b.U32(static_cast<uint32_t>(colours)), b.U32(0);
    if (v.headerSize > 40) {
      b.U32(masks[0]), b.U32(masks[1]), b.U32(masks[2]), b.U32(0);
      while (b.d.size() < 14 + static_cast<size_t>(v.headerSize)) b.U8(0);
    } else if (v.compression == 3) {
      b.U32(masks[0]), b.U32(masks[1]), b.U32(masks[2]);
    }
  }
  // The core header has no colour count: its table always has 2^bits entries.
  int entries = v.headerSize == 12 && v.bits <= 8 ? 1 << v.bits : colours;
  for (int i = 0; i < entries; ++i) {
    uint32_t c = i < 16 ? kColours[i] : 0;
    b.U8(c), b.U8(c >> 8), b.U8(c >> 16);
    if (v.headerSize != 12) b.U8(0);
  }
  b.Put32At(10, static_cast<uint32_t>(b.d.size()));
  if (v.compression == 1 || v.compression == 2) {
    for (int y = height - 1; y >= 0; --y) {
      std::vector<int> idx;
      for (int x = 0; x < width; ++x) idx.push_back(IndexOf(pic(x, y), colours));
      RowRle(b, idx, v.compression == 2);
    }
    b.U8(0), b.U8(1);
  } else {
    DibPixels(b, v.bits, width, height, pic, v.topDown, masks, colours);
  }
  b.Put32At(2, static_cast<uint32_t>(b.d.size()));
  return b.d;
}

std::vector<uint8_t> MakeTga(const TgaVariant& v, int width, int height, const PictureFn& pic) {
  Bytes b;
  int base = v.type >= 9 ? v.type - 8 : v.type;
  bool mapped = base == 1;
  b.U8(3);  // a three-byte image id
  b.U8(mapped ? 1 : 0), b.U8(static_cast<uint32_t>(v.type));
  b.U16(0), b.U16(mapped ? 16 : 0), b.U8(mapped ? static_cast<uint32_t>(v.mapBits) : 0);
  b.U16(0), b.U16(0), b.U16(static_cast<uint32_t>(width)), b.U16(static_cast<uint32_t>(height));
  b.U8(static_cast<uint32_t>(v.depth)), b.U8(v.descriptor);
  b.U8('i'), b.U8('d'), b.U8('!');
  if (mapped)
    for (int i = 0; i < 16; ++i) {
      uint32_t c = kColours[i];
      if (v.mapBits == 16 || v.mapBits == 15) b.U16(((c >> 19) & 31) << 10 | ((c >> 11) & 31) << 5 | ((c >> 3) & 31));
      else { b.U8(c), b.U8(c >> 8), b.U8(c >> 16); if (v.mapBits == 32) b.U8(0xFF); }
    }
  auto value = [&](int x, int y, uint8_t* out) {
    uint32_t c = pic(x, y);
    if (base == 1) { out[0] = static_cast<uint8_t>(IndexOf(c, 16)); return 1; }
    if (base == 3) { out[0] = static_cast<uint8_t>(c); return 1; }
    if (v.depth == 16) {
      uint32_t w = ((c >> 19) & 31) << 10 | ((c >> 11) & 31) << 5 | ((c >> 3) & 31);
      out[0] = static_cast<uint8_t>(w), out[1] = static_cast<uint8_t>(w >> 8);
      return 2;
    }
    out[0] = static_cast<uint8_t>(c), out[1] = static_cast<uint8_t>(c >> 8), out[2] = static_cast<uint8_t>(c >> 16);
    if (v.depth == 32) { out[3] = 0x80; return 4; }
    return 3;
  };
  for (int r = 0; r < height; ++r) {
    int y = (v.descriptor & 0x20) ? r : height - 1 - r;
    std::vector<std::vector<uint8_t>> px;
    for (int i = 0; i < width; ++i) {
      int x = (v.descriptor & 0x10) ? width - 1 - i : i;
      uint8_t buf[4];
      int n = value(x, y, buf);
      px.emplace_back(buf, buf + n);
    }
    if (v.type < 9) {
      for (auto& p : px) b.d.insert(b.d.end(), p.begin(), p.end());
      continue;
    }
    size_t i = 0;
    while (i < px.size()) {
      size_t j = i + 1;
      while (j < px.size() && px[j] == px[i] && j - i < 128) ++j;
      if (j - i >= 2) {
        b.U8(0x80 | static_cast<uint32_t>(j - i - 1));
        b.d.insert(b.d.end(), px[i].begin(), px[i].end());
      } else {
        j = i + 1;
        while (j < px.size() && j - i < 128 && !(j + 1 < px.size() && px[j + 1] == px[j])) ++j;
        b.U8(static_cast<uint32_t>(j - i - 1));
        for (size_t k = i; k < j; ++k) b.d.insert(b.d.end(), px[k].begin(), px[k].end());
      }
      i = j;
    }
  }
  if (v.keyColour >= 0) {
    size_t ext = b.d.size();
    b.U16(495);
    while (b.d.size() < ext + 470) b.U8(0);
    b.U32(static_cast<uint32_t>(v.keyColour) | 0xFF000000u);
    while (b.d.size() < ext + 495) b.U8(0);
    b.U32(static_cast<uint32_t>(ext)), b.U32(0);
    for (const char* s = "TRUEVISION-XFILE."; *s; ++s) b.U8(static_cast<uint8_t>(*s));
    b.U8(0);
  }
  return b.d;
}

std::vector<uint8_t> MakeIcon(const std::vector<int>& bitsList, bool png, int width, int height, const PictureFn& pic,
                              bool cursor) {
  std::vector<std::vector<uint8_t>> images;
  for (int bits : bitsList) {
    Bytes b;
    int colours = bits <= 8 ? std::min(1 << bits, 16) : 0;
    b.U32(40), b.U32(static_cast<uint32_t>(width)), b.U32(static_cast<uint32_t>(height * 2)), b.U16(1), b.U16(static_cast<uint32_t>(bits));
    for (int i = 0; i < 6; ++i) b.U32(0);
    for (int i = 0; i < (bits <= 8 ? 1 << bits : 0); ++i) {
      uint32_t c = i < 16 ? kColours[i] : 0;
      b.U8(c), b.U8(c >> 8), b.U8(c >> 16), b.U8(0);
    }
    uint32_t masks[3] = {0xFF0000, 0xFF00, 0xFF};
    DibPixels(b, bits, width, height, pic, false, masks, colours);
    int maskRow = (width + 31) / 32 * 4;
    for (int y = height - 1; y >= 0; --y)
      for (int k = 0; k < maskRow; ++k) b.U8(k == 0 ? 0x80 : 0);  // column 0 transparent
    images.push_back(b.d);
  }
  if (png) images.push_back(MakePng(width, height, pic, true));
  Bytes f;
  f.U16(0), f.U16(cursor ? 2 : 1), f.U16(static_cast<uint32_t>(images.size()));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    f.U8(static_cast<uint32_t>(width)), f.U8(static_cast<uint32_t>(height)), f.U8(0), f.U8(0);
    f.U16(1), f.U16(i < bitsList.size() ? static_cast<uint32_t>(bitsList[i]) : 32);
    f.U32(static_cast<uint32_t>(images[i].size())), f.U32(offset);
    offset += static_cast<uint32_t>(images[i].size());
  }
  for (auto& img : images) f.d.insert(f.d.end(), img.begin(), img.end());
  return f.d;
}

std::vector<uint8_t> MakePng(int width, int height, const PictureFn& pic, bool alpha) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  int ch = alpha ? 4 : 3;
  std::vector<uint8_t> px(static_cast<size_t>(width * height * ch));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint32_t c = pic(x, y);
      uint8_t* p = &px[static_cast<size_t>((y * width + x) * ch)];
      p[0] = static_cast<uint8_t>(c >> 16), p[1] = static_cast<uint8_t>(c >> 8), p[2] = static_cast<uint8_t>(c);
      if (alpha) p[3] = static_cast<uint8_t>(x * 255 / std::max(width - 1, 1));
    }
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, px.data(), 0, nullptr);
  std::vector<uint8_t> out(size);
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, px.data(), 0, nullptr)) throw std::runtime_error(image.message);
  out.resize(size);
  return out;
}

std::vector<uint8_t> MakeJpeg(int width, int height, const PictureFn& pic) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* mem = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &mem, &size);
  c.image_width = static_cast<JDIMENSION>(width);
  c.image_height = static_cast<JDIMENSION>(height);
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 100, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<uint8_t> row(static_cast<size_t>(width * 3));
  while (c.next_scanline < c.image_height) {
    for (int x = 0; x < width; ++x) {
      uint32_t v = pic(x, static_cast<int>(c.next_scanline));
      row[3 * x] = static_cast<uint8_t>(v >> 16), row[3 * x + 1] = static_cast<uint8_t>(v >> 8), row[3 * x + 2] = static_cast<uint8_t>(v);
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  std::vector<uint8_t> out(mem, mem + size);
  jpeg_destroy_compress(&c);
  std::free(mem);
  return out;
}

namespace {
int GifWrite(GifFileType* gif, const GifByteType* data, int n) {
  auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
  out->insert(out->end(), data, data + n);
  return n;
}
}  // namespace

std::vector<uint8_t> MakeGif(int width, int height, const PictureFn& pic, int transparentIndex, bool interlace) {
  std::vector<uint8_t> out;
  int err = 0;
  GifFileType* gif = EGifOpen(&out, GifWrite, &err);
  GifColorType cols[16];
  for (int i = 0; i < 16; ++i)
    cols[i] = {static_cast<GifByteType>(kColours[i] >> 16), static_cast<GifByteType>(kColours[i] >> 8), static_cast<GifByteType>(kColours[i])};
  ColorMapObject* map = GifMakeMapObject(16, cols);
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, width, height, 4, 0, map);
  if (transparentIndex >= 0) {
    GraphicsControlBlock gcb{};
    gcb.TransparentColor = transparentIndex;
    GifByteType ext[4];
    size_t n = EGifGCBToExtension(&gcb, ext);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), ext);
  }
  EGifPutImageDesc(gif, 0, 0, width, height, interlace, nullptr);
  std::vector<int> order;
  if (interlace) {
    const int starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
    for (int p = 0; p < 4; ++p) for (int y = starts[p]; y < height; y += steps[p]) order.push_back(y);
  } else {
    for (int y = 0; y < height; ++y) order.push_back(y);
  }
  std::vector<GifPixelType> line(static_cast<size_t>(width));
  for (int y : order) {
    for (int x = 0; x < width; ++x) line[static_cast<size_t>(x)] = static_cast<GifPixelType>(IndexOf(pic(x, y), 16));
    EGifPutLine(gif, line.data(), width);
  }
  EGifCloseFile(gif, &err);
  GifFreeMapObject(map);
  return out;
}

}  // namespace vorn::testing
