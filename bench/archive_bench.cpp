// Reading every entry of a ~100 MB archive (compressed and stored entries mixed) through the
// file manager, beside the reference: raw zlib inflate plus memcpy of the same entries held
// in memory.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstring>
#include <random>

#include "resources/archive.h"
#include "resources/vr_file_manager.h"
#include "support/archive_fixture.h"

namespace {

struct BenchArchive {
  vorn::test::ScratchFolder dir;
  std::string path;
  std::vector<std::string> names;
  // The entries as stored in the archive, for the reference.
  std::vector<std::vector<uint8_t>> stored;
  std::vector<bool> isStored;
  std::vector<size_t> plainSize;
  int64_t totalPlain = 0;

  BenchArchive() {
    std::mt19937 rng(12345);
    const char* words[] = {"message ", "window ", "picture ", "button ", "sound ", "\x82\xA0\x82\xA2 ", "0123 "};
    std::vector<vorn::test::ArchiveFixtureEntry> entries;
    for (int i = 0; i < 200; ++i) {
      vorn::test::ArchiveFixtureEntry e;
      e.name = "data\\entry" + std::to_string(i) + (i % 2 ? ".ogg" : ".txt");
      e.stored = i % 2 == 1;
      size_t size = 300000 + (rng() % 400000);
      e.content.reserve(size);
      while (e.content.size() < size) {
        if (e.stored) {
          e.content.push_back(static_cast<uint8_t>(rng()));
        } else {
          const char* w = words[rng() % 7];
          e.content.insert(e.content.end(), w, w + std::strlen(w));
        }
      }
      e.content.resize(size);
      totalPlain += static_cast<int64_t>(size);
      entries.push_back(std::move(e));
    }
    path = dir.Write("game.dat", vorn::test::FixtureArchiveBytes(entries, 102));
    vorn::TVrFileCollection c;
    c.OpenArchive(path);
    for (size_t i = 0; i < entries.size(); ++i) {
      const vorn::TVrFile* e = c.Item(static_cast<int>(i));
      names.push_back(e->Name());
      std::vector<uint8_t> bytes(static_cast<size_t>(e->Size));
      c.Source()->ReadAt(e->Offset, bytes.data(), bytes.size());
      stored.push_back(std::move(bytes));
      isStored.push_back(e->Stored != 0);
      plainSize.push_back(entries[i].content.size());
    }
  }
};

BenchArchive& Archive() {
  static BenchArchive a;
  return a;
}

void BM_ArchiveLoadEveryEntry(benchmark::State& state) {
  BenchArchive& a = Archive();
  vorn::EngineState es;
  vorn::VrFileManagerOptions o;
  o.cdRoots = std::vector<std::string>{};
  vorn::TVrFileManager m(es, o);
  m.AddArchive("");
  m.AddArchive(a.path);
  vorn::MemoryStream target;
  for (auto _ : state) {
    for (const std::string& n : a.names) {
      m.LoadFile(target, n);
      benchmark::DoNotOptimize(target.Data().data());
    }
  }
  state.SetBytesProcessed(state.iterations() * a.totalPlain);
}
BENCHMARK(BM_ArchiveLoadEveryEntry)->Unit(benchmark::kMillisecond);

void BM_ReferenceInflateAndMemcpy(benchmark::State& state) {
  BenchArchive& a = Archive();
  std::vector<uint8_t> out;
  for (auto _ : state) {
    for (size_t i = 0; i < a.stored.size(); ++i) {
      out.resize(a.plainSize[i]);
      if (a.isStored[i]) {
        std::memcpy(out.data(), a.stored[i].data(), a.stored[i].size());
      } else {
        uLongf len = static_cast<uLongf>(out.size());
        uncompress(out.data(), &len, a.stored[i].data(), static_cast<uLong>(a.stored[i].size()));
      }
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetBytesProcessed(state.iterations() * a.totalPlain);
}
BENCHMARK(BM_ReferenceInflateAndMemcpy)->Unit(benchmark::kMillisecond);

}  // namespace
