// vornc: compiles page sources (.vps) into page files (.vsb) and a project description
// (.vpj) into vorn.vpb; "vornc dump FILE" lists a compiled page or project file.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "resources/cp932.h"
#include "resources/file_stream.h"
#include "script/page_compiler.h"
#include "script/page_dump.h"

namespace fs = std::filesystem;
using namespace vorn;

namespace {

int Usage() {
  std::cerr << "usage: vornc [--version N] [--root DIR] -o OUTDIR SOURCE.vps|SOURCE.vpj ...\n"
               "       vornc dump FILE.vsb|vorn.vpb\n"
               "Pages compiled together may name each other's labels. A page's name is its path\n"
               "below --root (default: the file name) with the extension .vsb.\n";
  return 2;
}

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  if (!in) throw std::runtime_error(p.string() + ": cannot read");
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Written next to the target and renamed over it, so a failed run leaves no half file.
void WriteOutput(const fs::path& p, const std::vector<uint8_t>& bytes) {
  disk::WriteFileAtomic(p.string(), bytes.data(), bytes.size());
}

int Dump(const fs::path& p) {
  std::string data = ReadFile(p);
  std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(data.data()), data.size());
  std::string ext = p.extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == ".vpb") {
    TProjectSetting s;
    s.LoadFromBytes(bytes);
    std::cout << "version " << s.version << "\ntitle " << Cp932ToUtf8(s.title) << "\nstart "
              << Cp932ToUtf8(s.startPage) << "\nend " << Cp932ToUtf8(s.endPage) << "\nvariables "
              << s.variables.size() << "\nfolders " << s.folders.Count() << "\n";
    return 0;
  }
  TPage page;
  PageLoadResult r = page.LoadFromBytes(p.filename().string(), bytes);
  if (r == PageLoadResult::TooNew) std::cout << "(version above " << kPageVersionMax << ": read as empty)\n";
  if (r == PageLoadResult::NeedsRebuild) std::cout << "(version below " << kPageVersionMin << ": rebuild)\n";
  std::cout << Cp932ToUtf8(DumpPage(page));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage();
  try {
    if (args[0] == "dump") {
      if (args.size() != 2) return Usage();
      return Dump(args[1]);
    }
    int version = kPageVersionMax;
    fs::path outDir, root;
    std::vector<fs::path> sources;
    for (size_t i = 0; i < args.size(); ++i) {
      if (args[i] == "-o" && i + 1 < args.size()) outDir = args[++i];
      else if (args[i] == "--version" && i + 1 < args.size()) version = std::stoi(args[++i]);
      else if (args[i] == "--root" && i + 1 < args.size()) root = args[++i];
      else if (!args[i].empty() && args[i][0] == '-') return Usage();
      else sources.emplace_back(args[i]);
    }
    if (outDir.empty() || sources.empty()) return Usage();
    fs::create_directories(outDir);

    PageCompiler pages;
    std::vector<fs::path> outputs;
    for (const fs::path& src : sources) {
      if (src.extension() == ".vpj") {
        TProjectSetting s = CompileProjectSource(ReadFile(src), src.string());
        WriteOutput(outDir / "vorn.vpb", s.SaveToBytes());
        continue;
      }
      fs::path rel = root.empty() ? src.filename() : fs::relative(src, root);
      rel.replace_extension(".vsb");
      std::string name = rel.generic_string();
      for (char& c : name)
        if (c == '/') c = '\\';
      pages.AddSource(name, src.string(), ReadFile(src));
      outputs.push_back(outDir / rel);
    }
    auto compiled = pages.Compile(version);
    for (size_t i = 0; i < compiled.size(); ++i) {
      fs::create_directories(outputs[i].parent_path());
      WriteOutput(outputs[i], compiled[i]->SaveToBytes());
    }
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "vornc: " << e.what() << "\n";
    return 1;
  }
}
