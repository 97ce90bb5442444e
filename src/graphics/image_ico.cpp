// Windows icon and cursor files: the directory, a choice among several images, images stored
// as DIBs (whose AND mask becomes the alpha plane) or as PNG. And a one-image writer.
#include <cstdio>
#include <cstring>

#include "graphics/picture_io.h"
#include "resources/error.h"

namespace vorn {

namespace {

struct IconEntry {
  uint32_t bytes, offset;
  int width, height, bits;
};

bool IsPngSignature(const uint8_t* p, size_t n) {
  static const uint8_t sig[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  return n >= 8 && std::memcmp(p, sig, 8) == 0;
}

uint32_t Le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24); }
uint32_t Be32(const uint8_t* p) { return (uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }

}  // namespace

void ReadIcon(TDIBSurface& s, Stream& stream, const IconChooser& choose) {
  BinaryReader in(stream, "icon");
  int64_t start = in.Position();
  int64_t fileSize = stream.Size() - start;
  if (in.U16("reserved") != 0) in.Fail("reserved", "not 0");
  uint16_t type = in.U16("type");
  if (type != 1 && type != 2) in.Fail("type", std::to_string(type) + " is neither icon (1) nor cursor (2)");
  uint16_t count = in.U16("image count");
  if (count == 0) in.Fail("image count", "0");
  in.RequireFits(count, 16, "directory");
  std::vector<IconEntry> entries;
  for (int i = 0; i < count; ++i) {
    IconEntry e{};
    e.width = in.U8("width");
    e.height = in.U8("height");
    in.Skip(4, "colours and planes");
    e.bits = in.U16("bit count");
    e.bytes = in.U32("image size");
    e.offset = in.U32("image offset");
    if (e.width == 0) e.width = 256;
    if (e.height == 0) e.height = 256;
    if (int64_t{e.offset} + e.bytes > fileSize || e.bytes < 16)
      in.Fail("image offset", "image " + std::to_string(i) + " at " + std::to_string(e.offset) + " size " +
                                  std::to_string(e.bytes) + " outside the " + std::to_string(fileSize) + "-byte file");
    entries.push_back(e);
  }
  std::vector<uint8_t> data = (stream.Seek(start), ReadAllBytes(stream, "icon"));
  // The images' own headers describe them better than the directory does.
  for (IconEntry& e : entries) {
    const uint8_t* p = &data[e.offset];
    if (IsPngSignature(p, e.bytes) && e.bytes >= 26) {
      e.width = static_cast<int>(Be32(p + 16) & 0xFFFF), e.height = static_cast<int>(Be32(p + 20) & 0xFFFF);
      e.bits = 32;
    } else if (Le32(p) >= 40 && e.bytes >= 16) {
      e.width = static_cast<int>(Le32(p + 4) & 0xFFFF), e.height = static_cast<int>((Le32(p + 8) & 0xFFFF) / 2);
      e.bits = p[14] | (p[15] << 8);
    }
  }
  int pick = 0;
  if (entries.size() > 1 && choose) {
    std::vector<std::string> lines;
    char line[64];
    for (size_t i = 0; i < entries.size(); ++i) {
      std::snprintf(line, sizeof line, "%.3d : %d x %d  %d bpp", static_cast<int>(i), entries[i].width,
                    entries[i].height, entries[i].bits);
      lines.emplace_back(line);
    }
    pick = choose("Select One from Multiple Icons", lines);
    if (pick < 0 || pick >= static_cast<int>(entries.size())) throw EVornError("icon: no image chosen");
  }
  const IconEntry& e = entries[static_cast<size_t>(pick)];
  MemoryView view(std::span<const uint8_t>(data.data() + e.offset, e.bytes));
  if (IsPngSignature(&data[e.offset], e.bytes)) {
    ReadPng(s, view);
    if (s.BitCount() == 32) {
      s.EnsureAlpha();
      for (int32_t y = 0; y < s.Height(); ++y)
        for (int32_t x = 0; x < s.Width(); ++x) s.Alpha()->Row(y)[x] = static_cast<uint8_t>(s.GetPixel(x, y) >> 24);
    }
    return;
  }
  BinaryReader dib(view, "icon image " + std::to_string(pick));
  std::vector<uint8_t> mask;
  ReadDib(s, dib, -1, true, &mask);
  s.EnsureAlpha();
  bool ownAlpha = false;
  if (s.StorageBitCount() == 32)
    for (int32_t y = 0; y < s.Height() && !ownAlpha; ++y)
      for (int32_t x = 0; x < s.Width(); ++x)
        if (s.GetPixel(x, y) >> 24) { ownAlpha = true; break; }
  for (int32_t y = 0; y < s.Height(); ++y)
    for (int32_t x = 0; x < s.Width(); ++x) {
      // A 32-bit image with a real alpha channel uses it; all others use the AND mask.
      uint8_t a = ownAlpha ? static_cast<uint8_t>(s.GetPixel(x, y) >> 24)
                           : (mask[static_cast<size_t>(y) * static_cast<size_t>(s.Width()) + static_cast<size_t>(x)] ? 0 : 255);
      s.Alpha()->Row(y)[x] = a;
    }
}

void WriteIcon(const TDIBSurface& source, Stream& stream, bool cursor) {
  if (source.IsEmpty() || source.Width() > 256 || source.Height() > 256)
    throw EVornError("icon: pictures of 1 to 256 pixels a side only");
  TDIBSurface s;
  s.CopyFromWithAlpha(source);
  if (s.BitCount() == 15 || s.BitCount() == 16) s.ConvertDepth(24);
  int bits = s.StorageBitCount();
  uint32_t paletteBytes = bits <= 8 ? (4u << bits) : 0;
  uint32_t xorBytes = static_cast<uint32_t>(s.Stride()) * static_cast<uint32_t>(s.Height());
  uint32_t andStride = static_cast<uint32_t>(DibRowBytes(s.Width(), 1));
  uint32_t imageBytes = 40 + paletteBytes + xorBytes + andStride * static_cast<uint32_t>(s.Height());
  BinaryWriter out(stream);
  out.U16(0);
  out.U16(cursor ? 2 : 1);
  out.U16(1);
  out.U8(static_cast<uint8_t>(s.Width() & 0xFF));
  out.U8(static_cast<uint8_t>(s.Height() & 0xFF));
  out.U8(bits < 8 ? static_cast<uint8_t>(1 << bits) : 0);
  out.U8(0);
  out.U16(cursor ? 0 : 1);
  out.U16(cursor ? 0 : static_cast<uint16_t>(bits));
  out.U32(imageBytes);
  out.U32(6 + 16);
  out.U32(40);
  out.I32(s.Width());
  out.I32(s.Height() * 2);
  out.U16(1);
  out.U16(static_cast<uint16_t>(bits));
  for (int i = 0; i < 6; ++i) out.U32(0);
  if (bits <= 8)
    for (int i = 0; i < (1 << bits); ++i) out.U32(s.Palette()[static_cast<size_t>(i)]);
  for (int32_t y = s.Height() - 1; y >= 0; --y) out.Bytes(s.Row(y), static_cast<size_t>(s.Stride()));
  std::vector<uint8_t> row(andStride);
  for (int32_t y = s.Height() - 1; y >= 0; --y) {
    std::fill(row.begin(), row.end(), uint8_t{0});
    if (s.Alpha())
      for (int32_t x = 0; x < s.Width(); ++x)
        if (s.Alpha()->Row(y)[x] < 128) row[static_cast<size_t>(x >> 3)] |= static_cast<uint8_t>(0x80 >> (x & 7));
    out.Bytes(row.data(), row.size());
  }
}

}  // namespace vorn
