// Checked references to the component that raised an event. The component model's objects
// derive from TEventSender; the event queue and the interpreter hold SenderRef handles, which
// tell a freed sender apart from a live one and from "no sender".
#pragma once

#include <memory>
#include <string>

namespace vorn {

class TEventSender {
 public:
  TEventSender() : cell_(std::make_shared<TEventSender*>(this)) {}
  virtual ~TEventSender() = default;
  TEventSender(const TEventSender&) = delete;
  TEventSender& operator=(const TEventSender&) = delete;

  // The name scripts know the sender by (empty once it is marked for deletion).
  virtual std::string SenderName() const = 0;

 private:
  friend class SenderRef;
  // Lives exactly as long as the object; references watch it through weak pointers.
  std::shared_ptr<TEventSender*> cell_;
};

class SenderRef {
 public:
  SenderRef() = default;
  explicit SenderRef(const TEventSender* sender) {
    if (sender) {
      cell_ = sender->cell_;
      bound_ = true;
    }
  }
  // No sender at all (the main flow); a freed sender is not "none".
  bool None() const { return !bound_; }
  // The sender while it exists, else null.
  TEventSender* Get() const {
    auto p = cell_.lock();
    return p ? *p : nullptr;
  }
  // Same object (also after it was freed).
  bool Same(const SenderRef& o) const {
    return bound_ == o.bound_ && !cell_.owner_before(o.cell_) && !o.cell_.owner_before(cell_);
  }
  // The sender's name while it exists, else empty.
  std::string Name() const {
    TEventSender* s = Get();
    return s ? s->SenderName() : std::string();
  }

 private:
  std::weak_ptr<TEventSender*> cell_;
  bool bound_ = false;
};

}  // namespace vorn
