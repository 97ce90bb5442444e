// Truevision TGA: image types 1, 2, 3 and their run-length forms 9, 10, 11; colour maps of
// 15/16, 24 or 32 bits; the origin bits; the version 2 footer with the extension area's key
// colour. The writer emits run-length packets built with TPxList.
#include <cstring>

#include "graphics/picture_io.h"
#include "graphics/pick_px.h"
#include "resources/error.h"

namespace vorn {

namespace {

constexpr char kTgaSignature[] = "TRUEVISION-XFILE.";  // followed by a zero byte
constexpr int64_t kExtensionSize = 495;
constexpr int64_t kKeyColourOffset = 470;

uint32_t Entry(const uint8_t* p, int bits) {
  switch (bits) {
    case 15:
    case 16: {
      uint32_t v = p[0] | (p[1] << 8);
      uint32_t r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
      return ((r << 3) << 16) | ((g << 3) << 8) | (b << 3);
    }
    case 24: return p[0] | (p[1] << 8) | (uint32_t{p[2]} << 16);
    default: return p[0] | (p[1] << 8) | (uint32_t{p[2]} << 16);  // alpha of colour-map entries is dropped
  }
}

// The key colour of the TGA 2.0 extension area, or -1 without footer or extension area.
int64_t ReadKeyColour(Stream& stream, int64_t start, const TDIBSurface& s) {
  int64_t size = stream.Size() - start;
  if (size < 18 + 26) return -1;
  stream.Seek(stream.Size() - 26);
  BinaryReader in(stream, "TGA footer");
  uint32_t extOffset = in.U32("extension offset");
  in.U32("developer offset");
  if (in.FixedString(18, "signature") != std::string(kTgaSignature, 18)) return -1;
  if (extOffset == 0) return -1;
  if (extOffset + kExtensionSize > size - 26) in.Fail("extension offset", std::to_string(extOffset) + " beyond the file");
  stream.Seek(start + extOffset);
  if (in.U16("extension size") < kExtensionSize) in.Fail("extension size", "shorter than 495 bytes");
  stream.Seek(start + extOffset + kKeyColourOffset);
  uint32_t argb = in.U32("key colour");
  return s.MakePixel(static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8), static_cast<uint8_t>(argb));
}

}  // namespace

int64_t ReadTga(TDIBSurface& s, Stream& stream) {
  BinaryReader in(stream, "TGA");
  int64_t start = in.Position();
  uint8_t idLength = in.U8("id length");
  uint8_t mapType = in.U8("colour map type");
  uint8_t type = in.U8("image type");
  uint16_t mapFirst = in.U16("colour map start");
  uint16_t mapLength = in.U16("colour map length");
  uint8_t mapBits = in.U8("colour map entry size");
  in.Skip(4, "origin");
  uint16_t width = in.U16("width");
  uint16_t height = in.U16("height");
  uint8_t depth = in.U8("pixel depth");
  uint8_t descriptor = in.U8("descriptor");
  bool rle = type >= 9;
  int base = rle ? type - 8 : type;
  if (type != 1 && type != 2 && type != 3 && type != 9 && type != 10 && type != 11)
    in.Fail("image type", std::to_string(type) + " unsupported");
  if (mapType > 1) in.Fail("colour map type", std::to_string(mapType) + " unsupported");
  if (base == 1 && mapType != 1) in.Fail("colour map type", "colour-mapped image without a colour map");
  if ((base == 1 || base == 3) && depth != 8) in.Fail("pixel depth", std::to_string(depth) + " unsupported for this type");
  if (base == 2 && depth != 15 && depth != 16 && depth != 24 && depth != 32)
    in.Fail("pixel depth", std::to_string(depth) + " unsupported");
  if (mapType == 1 && mapBits != 15 && mapBits != 16 && mapBits != 24 && mapBits != 32)
    in.Fail("colour map entry size", std::to_string(mapBits) + " unsupported");
  if (base == 1 && int{mapFirst} + mapLength > 256)
    in.Fail("colour map length", std::to_string(mapFirst) + " + " + std::to_string(mapLength) + " exceeds 256");
  int surfaceBits = base == 2 ? (depth == 16 ? 15 : depth) : 8;
  CheckPictureSize(in, width, height, surfaceBits);
  in.Skip(idLength, "image id");

  std::array<uint32_t, 256> palette{};
  if (mapType == 1) {
    int entryBytes = (mapBits + 7) / 8;
    in.RequireFits(mapLength, static_cast<size_t>(entryBytes), "colour map");
    std::vector<uint8_t> map = in.Bytes(static_cast<size_t>(mapLength) * entryBytes, "colour map");
    if (base == 1)
      for (int i = 0; i < mapLength; ++i) palette[static_cast<size_t>(mapFirst + i)] = Entry(&map[static_cast<size_t>(i * entryBytes)], mapBits);
  }
  if (base == 3)
    for (uint32_t i = 0; i < 256; ++i) palette[i] = i * 0x010101;

  int bpp = (depth + 7) / 8;
  size_t total = size_t{width} * height;
  // The pixels must be there before their buffer is made: a short header could otherwise
  // claim up to a gigabyte. A run-length packet covers at most 128 pixels in 1 + bpp bytes.
  if (!rle) in.RequireFits(static_cast<int64_t>(total), static_cast<size_t>(bpp), "pixels");
  else in.RequireFits(static_cast<int64_t>((total + 127) / 128), static_cast<size_t>(bpp) + 1, "packets");
  std::vector<uint8_t> data(total * static_cast<size_t>(bpp));
  if (!rle) {
    in.Bytes(data.data(), data.size(), "pixels");
  } else {
    // Every packet is bounded by the pixels still missing; a longer packet is damage.
    size_t done = 0;
    uint8_t px[4];
    while (done < total) {
      uint8_t head = in.U8("packet header");
      size_t count = (head & 0x7F) + 1u;
      if (count > total - done) in.Fail("packet header", "packet of " + std::to_string(count) + " pixels overruns the image");
      if (head & 0x80) {
        in.Bytes(px, static_cast<size_t>(bpp), "run value");
        for (size_t i = 0; i < count; ++i) std::memcpy(&data[(done + i) * bpp], px, static_cast<size_t>(bpp));
      } else {
        in.Bytes(&data[done * bpp], count * bpp, "raw packet");
      }
      done += count;
    }
  }

  s.FreeAlpha();
  s.SetSize(width, height, surfaceBits);
  s.Palette() = palette;
  bool rightToLeft = descriptor & 0x10, topDown = descriptor & 0x20;
  size_t rowBytes = size_t{width} * bpp;
  for (int32_t r = 0; r < height; ++r) {
    int32_t y = topDown ? r : height - 1 - r;
    uint8_t* dst = s.Row(y);
    const uint8_t* src = &data[static_cast<size_t>(r) * rowBytes];
    for (int32_t x = 0; x < width; ++x) {
      int32_t dx = rightToLeft ? width - 1 - x : x;
      const uint8_t* p = src + static_cast<size_t>(x) * bpp;
      if (bpp == 2) {
        uint16_t v = static_cast<uint16_t>((p[0] | (p[1] << 8)) & 0x7FFF);
        std::memcpy(dst + 2 * dx, &v, 2);
      } else {
        std::memcpy(dst + static_cast<size_t>(dx) * bpp, p, static_cast<size_t>(bpp));
      }
    }
  }
  return ReadKeyColour(stream, start, s);
}

void WriteTga(const TDIBSurface& s, Stream& stream) {
  BinaryWriter out(stream);
  int bits = s.BitCount();
  bool mapped = bits <= 8;
  int depth = mapped ? 8 : (bits == 15 || bits == 16 ? 16 : bits);
  out.U8(0);
  out.U8(mapped ? 1 : 0);
  out.U8(mapped ? 9 : 10);
  out.U16(0);
  out.U16(mapped ? 256 : 0);
  out.U8(mapped ? 24 : 0);
  out.U16(0), out.U16(0);
  out.U16(static_cast<uint16_t>(s.Width()));
  out.U16(static_cast<uint16_t>(s.Height()));
  out.U8(static_cast<uint8_t>(depth));
  out.U8(static_cast<uint8_t>(0x20 | (depth == 32 ? 8 : (depth == 16 ? 1 : 0))));  // top-down rows
  if (mapped)
    for (uint32_t c : s.Palette()) out.U8(static_cast<uint8_t>(c)), out.U8(static_cast<uint8_t>(c >> 8)), out.U8(static_cast<uint8_t>(c >> 16));
  int bpp = depth / 8;
  auto value = [&](int32_t x, int32_t y) {
    uint32_t v = s.GetPixel(x, y);
    if (bits == 16) v = ((v >> 1) & 0x7FE0) | (v & 0x1F);  // 5-6-5 to 5-5-5
    return v;
  };
  TPxList list;
  for (int32_t y = 0; y < s.Height(); ++y) {
    list.Clear();
    for (int32_t x = 0; x < s.Width(); ++x) {
      uint32_t v = value(x, y);
      if (list.CanExtend(v)) list.Repeat();
      else list.Add(v);
    }
    list.Rewind();
    bool isRun;
    int count;
    size_t first;
    while (list.NextPacket(isRun, count, first)) {
      out.U8(static_cast<uint8_t>((isRun ? 0x80 : 0) | (count - 1)));
      for (int i = 0; i < (isRun ? 1 : count); ++i) {
        uint32_t v = list.Value(first + static_cast<size_t>(i));
        uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
        out.Bytes(b, static_cast<size_t>(bpp));
      }
    }
  }
  out.U32(0), out.U32(0);
  out.Bytes(kTgaSignature, 18);
}

}  // namespace vorn
