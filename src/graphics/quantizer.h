// Colour reduction for palette pictures: an octree quantiser that picks a palette of at most
// N colours, and the mapping of pixels to a palette with optional Floyd-Steinberg dithering.
#pragma once

#include <cstdint>
#include <vector>

namespace vorn {

// Colours are 0x00RRGGBB. Returns at most maxColours (1..256) palette entries, deterministic
// for the same input order.
std::vector<uint32_t> OctreeQuantize(const std::vector<uint32_t>& colours, int maxColours);

// Maps width x height colours (row-major) to indices into palette (1..256 entries). With
// dither, the rounding error spreads to the neighbours with the 7/16, 3/16, 5/16, 1/16 weights.
std::vector<uint8_t> MapToPalette(const std::vector<uint32_t>& colours, int32_t width, int32_t height,
                                  const std::vector<uint32_t>& palette, bool dither);

}  // namespace vorn
