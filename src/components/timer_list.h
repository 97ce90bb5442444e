// TTimerList: the event queue the screen-base list owns. Components append events (handler
// page, sender, event property, arguments); the interpreter takes the first waiting one, marks
// it with the nesting level that handles it and removes it when that handler ends.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "components/event_sender.h"
#include "resources/array_string.h"

namespace vorn {

class BinaryReader;
class BinaryWriter;

struct TTimerData {
  std::string Handler;  // page name with an optional ":label"
  SenderRef Sender;
  uint8_t EventId = 0;  // PR_ number of the event property
  int32_t Level = 0;    // 0 waiting; otherwise the nesting level handling it
  TArrayString Args;
};

class TTimerList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  TTimerData& operator[](int i) { return *items_[static_cast<size_t>(i)]; }
  const TTimerData& operator[](int i) const { return *items_[static_cast<size_t>(i)]; }

  // Appends a waiting record.
  TTimerData& Enqueue(const SenderRef& sender, const std::string& handler, const TArrayString& args,
                      uint8_t eventId);
  // The first waiting record, or null.
  TTimerData* NextPending();
  void RemoveLevel(int32_t level);
  // Removes every record that is being handled (level not 0).
  void RemoveHandled();
  // Removes the sender's waiting records.
  void RemoveSenderPending(const SenderRef& sender);
  // Removes one record (a handler that cannot be had).
  void Remove(const TTimerData* record);
  // Index of the first record of the sender and event (any level), or -1.
  int IndexOf(const SenderRef& sender, uint8_t eventId) const;
  void Clear() { items_.clear(); }

  // Saved form: int32 count; per record the handler, the sender's name (empty when none or
  // gone), the event byte, the level (int32), the arguments. `findSender` resolves names when
  // loading; versions up to 113 stored the level as one byte (non-zero = 1).
  void SaveToStream(BinaryWriter& w) const;
  // Reading is all or nothing: damaged data raises EFormatError and keeps the old queue.
  void LoadFromStream(BinaryReader& r, int version,
                      const std::function<SenderRef(const std::string&)>& findSender);

 private:
  std::vector<std::unique_ptr<TTimerData>> items_;
};

}  // namespace vorn
