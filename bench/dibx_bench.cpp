// Full-frame compositing at 800x600 in 32 and 16 bits, each beside a memcpy of the same
// bytes measured in the same run (the "Memcpy" rows).
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "graphics/dibx.h"

namespace vorn {
namespace {

constexpr int kW = 800, kH = 600;

struct Frame {
  TDIBX dst, src, mask;
  explicit Frame(int bits) {
    dst.SetSize(kW, kH, bits);
    src.SetSize(kW, kH, bits);
    mask.SetSize(kW, kH, 8);
    std::mt19937 rng(7);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        dst.SetPixel(x, y, rng()), src.SetPixel(x, y, rng());
        mask.SetPixel(x, y, rng());
      }
    src.SetColorKey(src.GetPixel(3, 3));
  }
};

template <class Op>
void Run(benchmark::State& state, Op op) {
  Frame f(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    op(f);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * int64_t{kW} * kH * f.dst.BytesPerPixel());
}

void Memcpy(benchmark::State& state) {
  size_t bytes = size_t{kW} * kH * (state.range(0) == 32 ? 4 : 2);
  std::vector<uint8_t> a(bytes, 1), b(bytes, 2);
  for (auto _ : state) {
    std::memcpy(a.data(), b.data(), bytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}

void Translucent(benchmark::State& s) { Run(s, [](Frame& f) { f.dst.DrawTranslucent(0, 0, 128, false, false, false, f.src.Bounds(), f.src); }); }
void Masked(benchmark::State& s) { Run(s, [](Frame& f) { f.dst.DrawMask(0, 0, f.mask, false, false, f.src.Bounds(), f.src); }); }
void MaskedTranslucent(benchmark::State& s) { Run(s, [](Frame& f) { f.dst.DrawMaskTranslucent(0, 0, 160, f.mask, false, false, f.src.Bounds(), f.src); }); }
void Additive(benchmark::State& s) { Run(s, [](Frame& f) { f.dst.DrawAdd(0, 0, 100, false, false, true, f.src.Bounds(), f.src); }); }
void Keyed(benchmark::State& s) { Run(s, [](Frame& f) { f.dst.Draw(0, 0, false, false, true, f.src.Bounds(), f.src); }); }
void FillTranslucent(benchmark::State& s) { Run(s, [](Frame& f) { f.dst.FillRectTranslucent(f.dst.Bounds(), 0x1234, 100); }); }
void Stretch(benchmark::State& s) { Run(s, [](Frame& f) { f.dst.StretchDraw(f.dst.Bounds(), f.src, 128, false, false, false, TRect{0, 0, 400, 300}); }); }
void Rotate(benchmark::State& s) { Run(s, [](Frame& f) { f.dst.DrawRotate(400, 300, 128, false, false, false, 20, 300, 400, f.src.Bounds(), f.src, 256, 256); }); }
void Pattern(benchmark::State& s) { Run(s, [](Frame& f) { f.dst.PatternFill(f.dst.Bounds(), f.src, false, false, 13, 17); }); }

#define VORN_BENCH(fn) BENCHMARK(fn)->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond)
VORN_BENCH(Memcpy);
VORN_BENCH(Translucent);
VORN_BENCH(Masked);
VORN_BENCH(MaskedTranslucent);
VORN_BENCH(Additive);
VORN_BENCH(Keyed);
VORN_BENCH(FillTranslucent);
VORN_BENCH(Stretch);
VORN_BENCH(Rotate);
VORN_BENCH(Pattern);

}  // namespace
}  // namespace vorn
