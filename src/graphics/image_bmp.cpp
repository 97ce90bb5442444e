// Windows bitmap files: core, info and V4/V5 headers; 1, 4, 8, 16, 24 and 32 bits; plain,
// run-length (RLE8, RLE4) and bit-field pixels; bottom-up and top-down rows. And the writer.
#include <algorithm>
#include <bit>
#include <cstring>

#include "graphics/picture_io.h"
#include "resources/error.h"

namespace vorn {

namespace {

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3;

// The value of a masked field widened to 8 bits (fields wider than 8 keep their top bits).
uint8_t Field(uint32_t v, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = std::countr_zero(mask);
  int width = std::popcount(mask);
  uint32_t f = (v & mask) >> shift;
  if (width >= 8) return static_cast<uint8_t>(f >> (width - 8));
  // Replicate the bits so that full fields become 255.
  uint32_t out = 0;
  for (int have = 0; have < 8; have += width) out = (out << width) | f;
  int total = ((8 + width - 1) / width) * width;
  return static_cast<uint8_t>(out >> (total - 8));
}

void DecodeRle(TDIBSurface& s, BinaryReader& in, bool four, int64_t end, bool bottomUp) {
  // x never passes the width: pixels beyond the row's end are dropped, and a long file of
  // runs and deltas on one row can then neither overflow x nor cost time per dropped pixel.
  int32_t x = 0, y = 0;
  auto put = [&](uint32_t v) {
    if (y < s.Height()) s.SetPixel(x, bottomUp ? s.Height() - 1 - y : y, v);
    ++x;
  };
  while (in.Position() < end) {
    uint8_t count = in.U8("run count");
    uint8_t value = in.U8("run value");
    if (count > 0) {
      for (int i = 0; i < count && x < s.Width(); ++i) put(four ? ((i & 1) ? value & 0x0F : value >> 4) : value);
      continue;
    }
    if (value == 0) {
      x = 0;
      if (++y >= s.Height()) return;
    } else if (value == 1) {
      return;
    } else if (value == 2) {
      x = std::min<int32_t>(x + in.U8("delta x"), s.Width());
      y += in.U8("delta y");
      if (y >= s.Height()) return;
    } else {
      int bytes = four ? (value + 1) / 2 : value;
      std::vector<uint8_t> raw = in.Bytes(static_cast<size_t>(bytes), "absolute run");
      for (int i = 0; i < value && x < s.Width(); ++i) put(four ? ((i & 1) ? raw[i / 2] & 0x0F : raw[i / 2] >> 4) : raw[i]);
      if (bytes & 1) in.Skip(1, "absolute run padding");
    }
  }
}

}  // namespace

void CheckPictureSize(const BinaryReader& in, int64_t width, int64_t height, int bits) {
  if (width <= 0 || width > kMaxSurfaceDimension)
    in.Fail("width", std::to_string(width) + " out of range 1.." + std::to_string(kMaxSurfaceDimension));
  if (height <= 0 || height > kMaxSurfaceDimension)
    in.Fail("height", std::to_string(height) + " out of range 1.." + std::to_string(kMaxSurfaceDimension));
  int storage = bits == 15 ? 16 : bits;
  if (DibRowBytes(width, storage) * height > kMaxSurfaceBytes)
    in.Fail("size", std::to_string(width) + " x " + std::to_string(height) + " too large");
}

std::vector<uint8_t> ReadAllBytes(Stream& stream, const char* context, int64_t limit) {
  int64_t left = stream.Remaining();
  if (left < 0) left = 0;
  if (left > limit) throw EFormatError(std::string(context) + ": file size " + std::to_string(left) + " too large");
  std::vector<uint8_t> data(static_cast<size_t>(left));
  stream.ReadExact(data.data(), data.size(), context);
  return data;
}

void ReadDib(TDIBSurface& s, BinaryReader& in, int64_t pixelOffset, bool iconHeight,
             std::vector<uint8_t>* andMask) {
  int64_t headerStart = in.Position();
  uint32_t headerSize = in.U32("header size");
  int64_t width, height;
  uint16_t bits;
  uint32_t compression = kBiRgb, coloursUsed = 0;
  uint32_t masks[4] = {0, 0, 0, 0};
  bool core = headerSize == 12;
  if (core) {
    width = in.U16("width");
    height = in.I16("height");
    in.U16("planes");
    bits = in.U16("bit count");
  } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124) {
    width = in.I32("width");
    height = in.I32("height");
    in.U16("planes");
    bits = in.U16("bit count");
    compression = in.U32("compression");
    in.Skip(12, "image size and resolution");
    coloursUsed = in.U32("colours used");
    in.U32("important colours");
    if (headerSize >= 52) {
      for (int i = 0; i < (headerSize >= 56 ? 4 : 3); ++i) masks[i] = in.U32("colour mask");
    }
    in.Skip(static_cast<int64_t>(headerStart + headerSize - in.Position()), "header rest");
    if (headerSize == 40 && compression == kBiBitfields)
      for (int i = 0; i < 3; ++i) masks[i] = in.U32("colour mask");
  } else {
    in.Fail("header size", std::to_string(headerSize) + " is not a known bitmap header");
  }
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    in.Fail("bit count", std::to_string(bits) + " unsupported");
  bool topDown = height < 0;
  if (topDown) height = -height;
  if (iconHeight) height /= 2;
  if (compression == kBiRle8 && bits != 8) in.Fail("compression", "RLE8 needs 8 bits");
  if (compression == kBiRle4 && bits != 4) in.Fail("compression", "RLE4 needs 4 bits");
  if (compression == kBiBitfields && bits != 16 && bits != 32) in.Fail("compression", "bit fields need 16 or 32 bits");
  if (compression > kBiBitfields) in.Fail("compression", std::to_string(compression) + " unsupported");
  if (topDown && (compression == kBiRle8 || compression == kBiRle4)) in.Fail("height", "run-length pictures cannot be top-down");

  if (bits == 16 && compression != kBiBitfields) masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
  if (bits == 32 && compression != kBiBitfields) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
  int surfaceBits = bits;
  bool generic = false;
  if (bits == 16) {
    if (masks[0] == 0x7C00 && masks[1] == 0x03E0 && masks[2] == 0x001F) surfaceBits = 15;
    else if (masks[0] == 0xF800 && masks[1] == 0x07E0 && masks[2] == 0x001F) surfaceBits = 16;
    else surfaceBits = 32, generic = true;
  } else if (bits == 32 && !(masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF)) {
    generic = true;
  }
  CheckPictureSize(in, width, height, surfaceBits);

  std::array<uint32_t, 256> palette{};
  if (bits <= 8) {
    uint32_t entries = coloursUsed == 0 ? (1u << bits) : coloursUsed;
    if (entries > 256) in.Fail("colours used", std::to_string(coloursUsed) + " exceeds 256");
    in.RequireFits(entries, core ? 3 : 4, "colour table");
    for (uint32_t i = 0; i < entries; ++i) {
      uint8_t q[4] = {0, 0, 0, 0};
      in.Bytes(q, core ? 3 : 4, "colour table");
      palette[i] = (uint32_t{q[2]} << 16) | (uint32_t{q[1]} << 8) | q[0];
    }
  }
  if (pixelOffset >= 0) {
    if (pixelOffset > in.stream().Size()) in.Fail("pixel offset", std::to_string(pixelOffset) + " beyond the file");
    in.stream().Seek(pixelOffset);
  }

  const bool rle = compression == kBiRle8 || compression == kBiRle4;
  const int64_t rowBytes = DibRowBytes(width, bits);
  // Plain rows must all be there before the surface is made for them.
  if (!rle) in.RequireFits(height, static_cast<size_t>(rowBytes), "pixel rows");

  s.FreeAlpha();
  s.SetSize(static_cast<int32_t>(width), static_cast<int32_t>(height), surfaceBits);
  s.Palette() = palette;
  int32_t w = s.Width(), h = s.Height();
  if (rle) {
    // A run-length icon image has no mask this reader takes: it is opaque.
    if (andMask) andMask->assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    DecodeRle(s, in, compression == kBiRle4, in.stream().Size(), true);
    return;
  }
  std::vector<uint8_t> row(static_cast<size_t>(rowBytes));
  for (int32_t r = 0; r < h; ++r) {
    in.Bytes(row.data(), row.size(), "pixel rows");
    int32_t y = topDown ? r : h - 1 - r;
    if (!generic) {
      std::memcpy(s.Row(y), row.data(), static_cast<size_t>(std::min<int64_t>(rowBytes, s.Stride())));
      continue;
    }
    for (int32_t x = 0; x < w; ++x) {
      uint32_t v;
      if (bits == 16) v = row[2 * x] | (row[2 * x + 1] << 8);
      else std::memcpy(&v, &row[4 * static_cast<size_t>(x)], 4);
      uint32_t alpha = masks[3] ? Field(v, masks[3]) : 0;
      s.SetPixel(x, y, (alpha << 24) | (uint32_t{Field(v, masks[0])} << 16) | (uint32_t{Field(v, masks[1])} << 8) |
                           Field(v, masks[2]));
    }
  }
  if (andMask) {
    int64_t maskRow = DibRowBytes(width, 1);
    andMask->assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    if (in.Remaining() < maskRow * h) return;  // icons without a mask are opaque
    std::vector<uint8_t> mrow(static_cast<size_t>(maskRow));
    for (int32_t r = 0; r < h; ++r) {
      in.Bytes(mrow.data(), mrow.size(), "AND mask");
      int32_t y = topDown ? r : h - 1 - r;
      for (int32_t x = 0; x < w; ++x)
        (*andMask)[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] = (mrow[x >> 3] >> (7 - (x & 7))) & 1;
    }
  }
}

void ReadBmp(TDIBSurface& s, Stream& stream) {
  BinaryReader in(stream, "bitmap");
  int64_t start = in.Position();
  if (in.U16("signature") != 0x4D42) in.Fail("signature", "not \"BM\"");
  in.U32("file size");
  in.U32("reserved");
  uint32_t offBits = in.U32("pixel offset");
  ReadDib(s, in, start + offBits, false, nullptr);
}

void WriteBmp(const TDIBSurface& s, Stream& stream) {
  BinaryWriter out(stream);
  int bits = s.StorageBitCount();
  bool fields = s.BitCount() == 16;
  uint32_t paletteBytes = bits <= 8 ? (4u << bits) : (fields ? 12 : 0);
  uint32_t offBits = 14 + 40 + paletteBytes;
  uint32_t image = static_cast<uint32_t>(s.Stride()) * static_cast<uint32_t>(s.Height());
  out.U16(0x4D42);
  out.U32(offBits + image);
  out.U32(0);
  out.U32(offBits);
  out.U32(40);
  out.I32(s.Width());
  out.I32(s.Height());
  out.U16(1);
  out.U16(static_cast<uint16_t>(bits));
  out.U32(fields ? kBiBitfields : kBiRgb);
  out.U32(image);
  out.U32(2835), out.U32(2835);
  out.U32(0), out.U32(0);
  if (bits <= 8)
    for (int i = 0; i < (1 << bits); ++i) out.U32(s.Palette()[static_cast<size_t>(i)]);
  if (fields) out.U32(0xF800), out.U32(0x07E0), out.U32(0x001F);
  for (int32_t y = s.Height() - 1; y >= 0; --y) out.Bytes(s.Row(y), static_cast<size_t>(s.Stride()));
}

}  // namespace vorn
