// The event queue: FIFO of TTimerData records with the level bookkeeping of nested handlers.
#include "components/timer_list.h"

#include <algorithm>

#include "resources/binary_reader.h"

namespace vorn {

TTimerData& TTimerList::Enqueue(const SenderRef& sender, const std::string& handler,
                                const TArrayString& args, uint8_t eventId) {
  auto rec = std::make_unique<TTimerData>();
  rec->Handler = handler;
  rec->Sender = sender;
  rec->EventId = eventId;
  rec->Args.Assign(args);
  items_.push_back(std::move(rec));
  return *items_.back();
}

TTimerData* TTimerList::NextPending() {
  for (auto& rec : items_)
    if (rec->Level == 0) return rec.get();
  return nullptr;
}

void TTimerList::RemoveLevel(int32_t level) {
  std::erase_if(items_, [&](const auto& rec) { return rec->Level == level; });
}

void TTimerList::RemoveHandled() {
  std::erase_if(items_, [](const auto& rec) { return rec->Level != 0; });
}

void TTimerList::RemoveSenderPending(const SenderRef& sender) {
  std::erase_if(items_, [&](const auto& rec) { return rec->Level == 0 && rec->Sender.Same(sender); });
}

void TTimerList::Remove(const TTimerData* record) {
  std::erase_if(items_, [&](const auto& rec) { return rec.get() == record; });
}

int TTimerList::IndexOf(const SenderRef& sender, uint8_t eventId) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i]->EventId == eventId && items_[i]->Sender.Same(sender)) return static_cast<int>(i);
  return -1;
}

void TTimerList::SaveToStream(BinaryWriter& w) const {
  w.I32(static_cast<int32_t>(items_.size()));
  for (const auto& rec : items_) {
    w.CountedString(rec->Handler);
    w.CountedString(rec->Sender.Name());
    w.U8(rec->EventId);
    w.I32(rec->Level);
    rec->Args.SaveToStream(w);
  }
}

void TTimerList::LoadFromStream(BinaryReader& r, int version,
                                const std::function<SenderRef(const std::string&)>& findSender) {
  // Handler, sender name, event byte, level (one byte up to version 113), argument count.
  const size_t minRecord = 4 + 4 + 1 + (version <= 113 ? 1 : 4) + 4;
  int32_t n = r.Count("event queue count", minRecord);
  std::vector<std::unique_ptr<TTimerData>> loaded;
  for (int32_t i = 0; i < n; ++i) {
    auto rec = std::make_unique<TTimerData>();
    rec->Handler = r.CountedString("event handler");
    std::string senderName = r.CountedString("event sender");
    rec->EventId = r.U8("event identifier");
    rec->Level = version <= 113 ? (r.U8("event level") != 0 ? 1 : 0) : r.I32("event level");
    rec->Args.LoadFromStream(r);
    rec->Sender = findSender(senderName);
    loaded.push_back(std::move(rec));
  }
  items_ = std::move(loaded);
}

}  // namespace vorn
