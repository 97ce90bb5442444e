// Page-file reading and writing: header, property sets, then one code byte and record per
// command. Every count is checked against the bytes left before anything is allocated.
#include "script/page.h"

#include "resources/error.h"
#include "resources/stream.h"
#include "resources/vr_file_manager.h"

namespace vorn {

namespace {
// "不正なコマンド"
const char kBadCommand[] = "\x95\x73\x90\xb3\x82\xc8\x83\x52\x83\x7d\x83\x93\x83\x68";
// "リビルドしてください"
const char kRebuild[] = "\x83\x8a\x83\x72\x83\x8b\x83\x68\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2";
// Smallest command record: code byte and the common header.
constexpr size_t kMinCommandSize = 1 + 4 + 1 + 1 + 4;
}  // namespace

TPage::TPage() = default;

PageLoadResult TPage::LoadFromBytes(const std::string& name, std::span<const uint8_t> bytes) {
  commands_.Clear();
  sets = {};
  name_ = name;
  MemoryView view(bytes);
  BinaryReader r(view, "page " + name);
  version = r.I32("version");
  if (version > kPageVersionMax) return PageLoadResult::TooNew;
  if (version < kPageVersionMin) return PageLoadResult::NeedsRebuild;
  Parse(r);
  return PageLoadResult::Ok;
}

PageLoadResult TPage::Load(const std::string& name, TVrFileManager& files) {
  commands_.Clear();
  name_ = name;
  std::vector<uint8_t> bytes = files.LoadBytes(name);
  return LoadFromBytes(name, bytes);
}

void TPage::Parse(BinaryReader& r) {
  resultType = r.U8("result type");
  if (resultType < 1 || resultType > 4)
    r.Fail("result type", std::to_string(resultType) + " is not a variable type (1..4)");
  int32_t setCount = r.I32("set count");
  int32_t setSize = r.I32("set size");
  if (setSize < 0) r.Fail("set size", "negative size " + std::to_string(setSize));
  r.RequireFits(setCount, static_cast<size_t>(setSize), "set count");
  const int32_t known = std::min<int32_t>(setCount, kCommandKinds);
  for (int32_t i = 0; i < known; ++i) {
    size_t used = std::min<size_t>(static_cast<size_t>(setSize), PropertySet::kBytes);
    r.Bytes(sets[static_cast<size_t>(i)].bits.data(), used, "property set");
    r.Skip(setSize - static_cast<int32_t>(used), "property set");
  }
  // Sets of kinds this player does not know are skipped in one step: with a set size of 0
  // the count is unchecked by the bytes left and could be two billion.
  r.Skip(int64_t{setCount - known} * setSize, "property set");
  int32_t n = r.Count("command count", kMinCommandSize);
  for (int32_t i = 0; i < n; ++i) {
    uint8_t byte = r.U8("command code");
    int code = byte & 0x7F;
    auto command = CreateCommand(code);
    if (!command) throw EVornError(kBadCommand);
    command->highBit = (byte & 0x80) != 0;
    command->LoadFromStream(r, version, sets[static_cast<size_t>(code)]);
    commands_.Add(std::move(command));
  }
}

void TPage::SaveToStream(BinaryWriter& w, const PageLayout& layout) const {
  w.I32(version);
  w.U8(resultType);
  w.I32(layout.setCount);
  w.I32(layout.setSize);
  static const PropertySet kEmpty;
  for (int32_t i = 0; i < layout.setCount; ++i) {
    const PropertySet& set = i < kCommandKinds ? sets[static_cast<size_t>(i)] : kEmpty;
    for (int32_t b = 0; b < layout.setSize; ++b)
      w.U8(b < static_cast<int32_t>(PropertySet::kBytes) ? set.bits[static_cast<size_t>(b)] : 0);
  }
  w.I32(commands_.Count());
  for (int i = 0; i < commands_.Count(); ++i) {
    const TCommand& c = commands_[i];
    w.U8(static_cast<uint8_t>(c.Kind() | (c.highBit ? 0x80 : 0)));
    // Codes beyond the written sets read back with the empty set.
    bool written = c.Kind() < layout.setCount;
    c.SaveToStream(w, version, written ? sets[static_cast<size_t>(c.Kind())] : kEmpty);
  }
}

std::vector<uint8_t> TPage::SaveToBytes(const PageLayout& layout) const {
  MemoryStream out;
  BinaryWriter w(out);
  SaveToStream(w, layout);
  return out.Take();
}

std::string TPage::RebuildMessage() const { return name_ + "\r\n" + kRebuild; }

}  // namespace vorn
