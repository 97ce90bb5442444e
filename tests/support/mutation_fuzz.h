// Seeded mutation fuzzing for the readers' tests: valid files made by the writers are damaged
// (bit flips, bytes set to 0x00/0xFF/0x7F, 32-bit fields set to huge or negative values,
// truncation, duplicated or removed ranges) and handed to the real reader, which may only
// succeed or raise the engine's own errors. Deterministic for a given seed and count.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vorn::testing {

// A small deterministic generator (splitmix64), independent of the library's engines.
class FuzzRandom {
 public:
  explicit FuzzRandom(uint64_t seed) : state_(seed) {}
  uint64_t Next();
  // Uniform in 0..n-1 (n > 0).
  size_t Below(size_t n) { return static_cast<size_t>(Next() % n); }

 private:
  uint64_t state_;
};

// Applies one to four mutations to a copy of `input`.
std::vector<uint8_t> Mutate(const std::vector<uint8_t>& input, FuzzRandom& random);

// The number of cases per format: VORN_FUZZ_ITERATIONS when set (a deeper hunt by hand),
// otherwise `fallback`.
int FuzzIterations(int fallback);
// The base seed: VORN_FUZZ_SEED when set, otherwise `fallback`.
uint64_t FuzzSeed(uint64_t fallback);

// One format under test: the valid inputs and the reader. The reader may throw EVornError
// (EFormatError is one); any other exception is a fault and fails the test with the case.
struct FuzzFormat {
  std::string name;
  std::vector<std::vector<uint8_t>> seeds;
  std::function<void(const std::vector<uint8_t>&)> read;
};

// Runs `iterations` mutated cases of the format (each seed read unmutated first) and reports
// every case that escaped with a non-engine exception through a gtest failure naming the
// case and its bytes. When VORN_FUZZ_DUMP names a file, each input is written there before
// it is read, so a sanitizer abort leaves the offending input behind. VORN_FUZZ_SLOW_MS
// prints every case slower than that to standard error (for hunting only; never a failure).
void RunMutationFuzz(const FuzzFormat& format, int iterations, uint64_t seed);
// Runs every format, each under its own trace, with FuzzIterations(defaultIterations) cases
// from the base seed FuzzSeed(defaultSeed).
void RunMutationFuzzAll(const std::vector<FuzzFormat>& formats, int defaultIterations, uint64_t defaultSeed);

// Reads the engine's way: nothing but EVornError may leave; used for fixed regression cases.
// Returns "ok", "engine error" or a description of the fault.
std::string ReadOutcome(const FuzzFormat& format, const std::vector<uint8_t>& bytes);

// Bytes as "0a ff ..." (at most `limit` bytes, then "...").
std::string HexBytes(const std::vector<uint8_t>& bytes, size_t limit = 96);

}  // namespace vorn::testing
