// Compiling page sources for tests and writing game folders.
#include "support/game_folder.h"

#include <filesystem>
#include <fstream>

#include "resources/cp932.h"
#include "resources/error.h"
#include "script/page_compiler.h"
#include "script/project_setting.h"

namespace vorn::testing {

namespace {
void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw EVornError("cannot write " + path.string());
}
}  // namespace

std::map<std::string, std::vector<uint8_t>> CompilePages(const PageSources& sources) {
  PageCompiler compiler;
  for (const auto& [name, text] : sources) compiler.AddSource(name, name, text);
  std::map<std::string, std::vector<uint8_t>> out;
  for (const auto& page : compiler.Compile()) out[page->Name()] = page->SaveToBytes();
  return out;
}

void WriteGameFolder(const std::string& folder, const GameSpec& game) {
  std::filesystem::create_directories(folder);
  TProjectSetting s;
  s.title = Utf8ToCp932(game.title);
  s.screenWidth = game.width;
  s.screenHeight = game.height;
  s.startPage = Utf8ToCp932(game.startPage);
  s.endPage = Utf8ToCp932(game.endPage);
  WriteBytes(std::filesystem::path(folder) / "vorn.vpb", s.SaveToBytes());
  for (const auto& [name, bytes] : CompilePages(game.pages))
    WriteBytes(std::filesystem::path(folder) / Cp932ToUtf8(name), bytes);
}

std::unique_ptr<TPage> MemoryPageHost::LoadPage(const std::string& name) {
  auto it = files.find(name);
  if (it == files.end()) throw EVornError(name + ": missing");
  ++loads[name];
  auto page = std::make_unique<TPage>();
  page->LoadFromBytes(name, it->second);
  return page;
}

}  // namespace vorn::testing
