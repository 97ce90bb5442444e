// Seeded mutation of valid files and the loop that hands them to a reader.
#include "support/mutation_fuzz.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <typeinfo>

#include "resources/error.h"

namespace vorn::testing {

uint64_t FuzzRandom::Next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

namespace {

void PutI32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (size_t k = 0; k < 4 && at + k < b.size(); ++k) b[at + k] = static_cast<uint8_t>(v >> (8 * k));
}

// Values that break counts and sizes: huge, negative, just past small limits.
constexpr uint32_t kInts[] = {0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 0xFFFFFFFEu, 0x40000000u, 0x10000000u,
                              0x00010000u, 0x0000FFFFu, 0x00000100u, 0x000000FFu, 0x00000080u, 0u, 1u, 2u};

void MutateOnce(std::vector<uint8_t>& b, FuzzRandom& r) {
  const size_t n = b.size();
  switch (r.Below(9)) {
    case 0:  // one bit
      if (n) b[r.Below(n)] ^= static_cast<uint8_t>(1u << r.Below(8));
      break;
    case 1: {  // a byte to one of the edge values
      static constexpr uint8_t kBytes[] = {0x00, 0xFF, 0x7F, 0x80, 0x01};
      if (n) b[r.Below(n)] = kBytes[r.Below(sizeof kBytes)];
      break;
    }
    case 2:  // a 32-bit field to a huge or negative value
    case 3:
      if (n) PutI32(b, r.Below(n), kInts[r.Below(sizeof kInts / sizeof kInts[0])]);
      break;
    case 4:  // a 32-bit field nudged by a small amount
      if (n >= 4) {
        size_t at = r.Below(n - 3);
        uint32_t v = b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t{b[at + 3]} << 24);
        PutI32(b, at, v + static_cast<uint32_t>(static_cast<int>(r.Below(33)) - 16));
      }
      break;
    case 5:  // truncation
      if (n) b.resize(r.Below(n));
      break;
    case 6: {  // a range duplicated in place
      if (!n) break;
      size_t from = r.Below(n), len = 1 + r.Below(std::min<size_t>(n - from, 64));
      std::vector<uint8_t> copy(b.begin() + static_cast<ptrdiff_t>(from),
                                b.begin() + static_cast<ptrdiff_t>(from + len));
      b.insert(b.begin() + static_cast<ptrdiff_t>(r.Below(n + 1)), copy.begin(), copy.end());
      break;
    }
    case 7: {  // a range removed
      if (!n) break;
      size_t from = r.Below(n), len = 1 + r.Below(std::min<size_t>(n - from, 16));
      b.erase(b.begin() + static_cast<ptrdiff_t>(from), b.begin() + static_cast<ptrdiff_t>(from + len));
      break;
    }
    default:  // a random byte
      if (n) b[r.Below(n)] = static_cast<uint8_t>(r.Next());
      break;
  }
}

}  // namespace

std::vector<uint8_t> Mutate(const std::vector<uint8_t>& input, FuzzRandom& random) {
  std::vector<uint8_t> out = input;
  const size_t count = 1 + random.Below(4);
  for (size_t i = 0; i < count; ++i) MutateOnce(out, random);
  return out;
}

int FuzzIterations(int fallback) {
  const char* v = std::getenv("VORN_FUZZ_ITERATIONS");
  return v && *v ? std::atoi(v) : fallback;
}

uint64_t FuzzSeed(uint64_t fallback) {
  const char* v = std::getenv("VORN_FUZZ_SEED");
  return v && *v ? std::strtoull(v, nullptr, 0) : fallback;
}

std::string HexBytes(const std::vector<uint8_t>& bytes, size_t limit) {
  std::string s;
  char buf[4];
  for (size_t i = 0; i < bytes.size() && i < limit; ++i) {
    std::snprintf(buf, sizeof buf, "%02x ", bytes[i]);
    s += buf;
  }
  if (bytes.size() > limit) s += "...";
  return s;
}

std::string ReadOutcome(const FuzzFormat& format, const std::vector<uint8_t>& bytes) {
  try {
    format.read(bytes);
    return "ok";
  } catch (const EVornError&) {
    return "engine error";
  } catch (const std::exception& e) {
    return std::string(typeid(e).name()) + ": " + e.what();
  } catch (...) {
    return "unknown exception";
  }
}

void RunMutationFuzzAll(const std::vector<FuzzFormat>& formats, int defaultIterations, uint64_t defaultSeed) {
  const int iterations = FuzzIterations(defaultIterations);
  const uint64_t seed = FuzzSeed(defaultSeed);
  for (const FuzzFormat& f : formats) {
    SCOPED_TRACE(f.name);
    RunMutationFuzz(f, iterations, seed);
  }
}

void RunMutationFuzz(const FuzzFormat& format, int iterations, uint64_t seed) {
  ASSERT_FALSE(format.seeds.empty()) << format.name;
  const char* dump = std::getenv("VORN_FUZZ_DUMP");
  const char* slow = std::getenv("VORN_FUZZ_SLOW_MS");
  const long slowMs = slow && *slow ? std::atol(slow) : 0;
  // Every seed must be read as it is: a fuzz run over a reader that refuses valid input
  // tests nothing.
  for (size_t i = 0; i < format.seeds.size(); ++i)
    ASSERT_EQ(ReadOutcome(format, format.seeds[i]), "ok") << format.name << " seed " << i;
  // Each format gets its own stream of cases from the one seed (FNV-1a of the name).
  uint64_t mix = 0xCBF29CE484222325ull;
  for (char c : format.name) mix = (mix ^ static_cast<uint8_t>(c)) * 0x100000001B3ull;
  FuzzRandom random(seed ^ mix);
  int faults = 0;
  for (int i = 0; i < iterations && faults < 5; ++i) {
    std::vector<uint8_t> bytes = Mutate(format.seeds[random.Below(format.seeds.size())], random);
    if (dump) {
      if (FILE* f = std::fopen(dump, "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
      }
    }
    const auto started = std::chrono::steady_clock::now();
    std::string outcome = ReadOutcome(format, bytes);
    if (slowMs > 0) {
      // Hunting only: a case that takes long hints at a loop driven by an unchecked count.
      const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
      if (ms.count() >= slowMs)
        std::fprintf(stderr, "SLOW %s case %d: %lld ms, %zu bytes: %s\n", format.name.c_str(), i,
                     static_cast<long long>(ms.count()), bytes.size(), HexBytes(bytes, 64).c_str());
    }
    if (outcome != "ok" && outcome != "engine error") {
      ++faults;
      ADD_FAILURE() << format.name << " case " << i << " (seed " << seed << "): " << outcome << "\n  "
                    << bytes.size() << " bytes: " << HexBytes(bytes);
    }
  }
}

}  // namespace vorn::testing
