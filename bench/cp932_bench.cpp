// CP932 -> UTF-8 and back through our table, beside glibc's iconv on the same text as the
// reference. Runs at the edges (glyph lookup, titles, names on disk), so it should not be slower.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <string>

#include "resources/cp932.h"

namespace {

std::string SampleSjis() {
  // Kanji, kana, ASCII and half-width katakana mixed as in message text.
  std::string line = "\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x65\x83\x4c\x83\x58\x83\x67 Text 123 \xb6\xde\xc5\x81\x42";
  std::string s;
  while (s.size() < 64 * 1024) s += line;
  return s;
}

std::string IconvConvert(iconv_t cd, const std::string& in) {
  std::string out(in.size() * 3 + 16, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  out.resize(out.size() - dstLeft);
  return out;
}

void BM_Cp932ToUtf8(benchmark::State& state) {
  const std::string s = SampleSjis();
  for (auto _ : state) benchmark::DoNotOptimize(vorn::Cp932ToUtf8(s));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.size()));
}
BENCHMARK(BM_Cp932ToUtf8);

void BM_IconvCp932ToUtf8(benchmark::State& state) {
  const std::string s = SampleSjis();
  iconv_t cd = iconv_open("UTF-8", "CP932");
  for (auto _ : state) benchmark::DoNotOptimize(IconvConvert(cd, s));
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.size()));
}
BENCHMARK(BM_IconvCp932ToUtf8);

void BM_Utf8ToCp932(benchmark::State& state) {
  const std::string u = vorn::Cp932ToUtf8(SampleSjis());
  for (auto _ : state) benchmark::DoNotOptimize(vorn::Utf8ToCp932(u));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * u.size()));
}
BENCHMARK(BM_Utf8ToCp932);

void BM_IconvUtf8ToCp932(benchmark::State& state) {
  const std::string u = vorn::Cp932ToUtf8(SampleSjis());
  iconv_t cd = iconv_open("CP932", "UTF-8");
  for (auto _ : state) benchmark::DoNotOptimize(IconvConvert(cd, u));
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * u.size()));
}
BENCHMARK(BM_IconvUtf8ToCp932);

}  // namespace
