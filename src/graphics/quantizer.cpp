// The octree quantiser and the palette mapper with Floyd-Steinberg error diffusion.
#include "graphics/quantizer.h"

#include <algorithm>
#include <array>

namespace vorn {

namespace {

struct OctNode {
  std::array<int32_t, 8> child{-1, -1, -1, -1, -1, -1, -1, -1};
  uint64_t r = 0, g = 0, b = 0, count = 0;
  bool leaf = false;
};

class Octree {
 public:
  explicit Octree(int maxColours) : max_(maxColours) { nodes_.emplace_back(); }

  void Add(uint32_t c) {
    uint8_t r = static_cast<uint8_t>(c >> 16), g = static_cast<uint8_t>(c >> 8), b = static_cast<uint8_t>(c);
    int32_t n = 0;
    for (int level = 0; level < 8 && !nodes_[n].leaf; ++level) {
      int bit = 7 - level;
      int idx = (((r >> bit) & 1) << 2) | (((g >> bit) & 1) << 1) | ((b >> bit) & 1);
      if (nodes_[n].child[idx] < 0) {
        int32_t id = static_cast<int32_t>(nodes_.size());
        nodes_.emplace_back();
        nodes_[n].child[idx] = id;
        if (level == 7) {
          nodes_[id].leaf = true;
          ++leaves_;
        } else {
          reducible_[level + 1].push_back(id);
        }
      }
      n = nodes_[n].child[idx];
    }
    OctNode& leaf = nodes_[n];
    leaf.r += r, leaf.g += g, leaf.b += b, ++leaf.count;
    while (leaves_ > max_) Reduce();
  }

  std::vector<uint32_t> Palette() const {
    std::vector<uint32_t> out;
    Collect(0, out);
    return out;
  }

 private:
  // Merges the children of the most recently created node at the deepest level into it.
  void Reduce() {
    int level = 7;
    while (level > 0 && reducible_[level].empty()) --level;
    int32_t id;
    if (level == 0) {
      id = 0;
    } else {
      id = reducible_[level].back();
      reducible_[level].pop_back();
    }
    OctNode& n = nodes_[id];
    int merged = 0;
    for (int32_t& c : n.child) {
      if (c < 0) continue;
      OctNode& ch = nodes_[c];
      n.r += ch.r, n.g += ch.g, n.b += ch.b, n.count += ch.count;
      if (ch.leaf) ++merged;
      c = -1;
    }
    n.leaf = true;
    leaves_ -= merged - 1;
  }

  void Collect(int32_t id, std::vector<uint32_t>& out) const {
    const OctNode& n = nodes_[id];
    if (n.leaf) {
      if (n.count == 0) return;
      uint32_t r = static_cast<uint32_t>(n.r / n.count), g = static_cast<uint32_t>(n.g / n.count),
               b = static_cast<uint32_t>(n.b / n.count);
      out.push_back((r << 16) | (g << 8) | b);
      return;
    }
    for (int32_t c : n.child) if (c >= 0) Collect(c, out);
  }

  int max_;
  int leaves_ = 0;
  std::vector<OctNode> nodes_;
  std::array<std::vector<int32_t>, 8> reducible_;
};

int Nearest(const std::vector<uint32_t>& palette, int r, int g, int b) {
  int best = 0;
  int bestD = INT32_MAX;
  for (size_t i = 0; i < palette.size(); ++i) {
    uint32_t c = palette[i];
    int dr = int((c >> 16) & 0xFF) - r, dg = int((c >> 8) & 0xFF) - g, db = int(c & 0xFF) - b;
    int d = dr * dr + dg * dg + db * db;
    if (d < bestD) bestD = d, best = static_cast<int>(i);
  }
  return best;
}

}  // namespace

std::vector<uint32_t> OctreeQuantize(const std::vector<uint32_t>& colours, int maxColours) {
  maxColours = std::clamp(maxColours, 2, 256);
  Octree tree(maxColours);
  for (uint32_t c : colours) tree.Add(c & 0xFFFFFF);
  std::vector<uint32_t> pal = tree.Palette();
  if (pal.size() > static_cast<size_t>(maxColours)) pal.resize(static_cast<size_t>(maxColours));
  if (pal.empty()) pal.push_back(0);
  return pal;
}

std::vector<uint8_t> MapToPalette(const std::vector<uint32_t>& colours, int32_t width, int32_t height,
                                  const std::vector<uint32_t>& palette, bool dither) {
  std::vector<uint8_t> out(colours.size(), 0);
  if (palette.empty() || width <= 0 || height <= 0) return out;
  std::vector<int16_t> cache(size_t{1} << 15, -1);
  auto lookup = [&](int r, int g, int b) {
    // The cache is keyed on the 5-5-5 cell; the first colour seen in a cell stands for it.
    size_t key = static_cast<size_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
    if (cache[key] < 0) cache[key] = static_cast<int16_t>(Nearest(palette, r, g, b));
    return cache[key];
  };
  if (!dither) {
    for (size_t i = 0; i < colours.size(); ++i) {
      uint32_t c = colours[i];
      out[i] = static_cast<uint8_t>(Nearest(palette, (c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF));
    }
    return out;
  }
  size_t w = static_cast<size_t>(width);
  std::vector<int> cur((w + 2) * 3, 0), next((w + 2) * 3, 0);
  for (int32_t y = 0; y < height; ++y) {
    std::fill(next.begin(), next.end(), 0);
    for (size_t x = 0; x < w; ++x) {
      uint32_t c = colours[static_cast<size_t>(y) * w + x];
      int v[3] = {int((c >> 16) & 0xFF), int((c >> 8) & 0xFF), int(c & 0xFF)};
      for (int k = 0; k < 3; ++k) v[k] = std::clamp(v[k] + cur[(x + 1) * 3 + k] / 16, 0, 255);
      int idx = lookup(v[0], v[1], v[2]);
      out[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>(idx);
      uint32_t p = palette[static_cast<size_t>(idx)];
      int q[3] = {int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF)};
      for (int k = 0; k < 3; ++k) {
        int e = v[k] - q[k];
        cur[(x + 2) * 3 + k] += e * 7;
        next[x * 3 + k] += e * 3;
        next[(x + 1) * 3 + k] += e * 5;
        next[(x + 2) * 3 + k] += e;
      }
    }
    std::swap(cur, next);
  }
  return out;
}

}  // namespace vorn
