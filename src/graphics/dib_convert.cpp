// TDIBSurface::ConvertDepth: towards palette depths it keeps, gathers or quantises the
// palette; towards direct-colour depths it converts channel by channel.
#include <algorithm>
#include <unordered_map>

#include "graphics/dib_surface.h"
#include "graphics/quantizer.h"
#include "resources/error.h"

namespace vorn {

void TDIBSurface::ConvertDepth(int bitCount, int colours, bool dither) {
  if (bitCount == BitCount()) return;
  int targetStorage = bitCount == 15 ? 16 : bitCount;
  TDIBSurface out;
  out.SetSize(width_, height_, bitCount);  // validates bitCount
  if (targetStorage <= 8) {
    int room = 1 << targetStorage;
    colours = std::clamp(colours, 1, room);
    if (storageBits_ <= 8 && storageBits_ < targetStorage) {
      // A larger palette depth holds every current index: same palette, same indices.
      out.palette_ = palette_;
      for (int32_t y = 0; y < height_; ++y)
        for (int32_t x = 0; x < width_; ++x) out.SetPixel(x, y, GetPixel(x, y));
    } else {
      std::vector<uint32_t> rgb(static_cast<size_t>(width_) * static_cast<size_t>(height_));
      for (int32_t y = 0; y < height_; ++y)
        for (int32_t x = 0; x < width_; ++x) {
          uint8_t r, g, b;
          SplitPixel(GetPixel(x, y), r, g, b);
          rgb[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] =
              (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
        }
      // Few enough colours: the palette is exactly the colours in use, in order of appearance.
      std::vector<uint32_t> used;
      std::unordered_map<uint32_t, uint8_t> index;
      for (uint32_t c : rgb) {
        if (index.count(c)) continue;
        if (static_cast<int>(used.size()) == colours) {
          used.clear();
          break;
        }
        index.emplace(c, static_cast<uint8_t>(used.size()));
        used.push_back(c);
      }
      std::vector<uint8_t> idx;
      if (!used.empty() || rgb.empty()) {
        idx.resize(rgb.size());
        for (size_t i = 0; i < rgb.size(); ++i) idx[i] = index[rgb[i]];
      } else {
        used = OctreeQuantize(rgb, colours);
        idx = MapToPalette(rgb, width_, height_, used, dither);
      }
      out.palette_.fill(0);
      std::copy(used.begin(), used.end(), out.palette_.begin());
      for (int32_t y = 0; y < height_; ++y)
        for (int32_t x = 0; x < width_; ++x)
          out.SetPixel(x, y, idx[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)]);
    }
  } else {
    for (int32_t y = 0; y < height_; ++y)
      for (int32_t x = 0; x < width_; ++x) {
        uint8_t r, g, b;
        SplitPixel(GetPixel(x, y), r, g, b);
        out.SetPixel(x, y, out.MakePixel(r, g, b));
      }
  }
  out.alpha_ = std::move(alpha_);
  out.clip = clip;
  *this = std::move(out);
}

}  // namespace vorn
