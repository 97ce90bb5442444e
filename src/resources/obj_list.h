// TObjList: a list that owns its objects. Deleting an entry frees its object and removes the
// slot; Clear frees every object in index order, then empties the list. Call stacks, the table
// manager and field lists build on it.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "error.h"

namespace vorn {

template <class T>
class TObjList {
 public:
  TObjList() = default;
  ~TObjList() { Clear(); }
  TObjList(const TObjList&) = delete;
  TObjList& operator=(const TObjList&) = delete;
  TObjList(TObjList&& other) noexcept = default;
  TObjList& operator=(TObjList&& other) noexcept {
    if (this != &other) {
      Clear();
      items_ = std::move(other.items_);
    }
    return *this;
  }

  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }

  T* Add(std::unique_ptr<T> item) {
    T* p = item.get();
    items_.push_back(std::move(item));
    return p;
  }
  template <class U = T, class... Args>
  U* Emplace(Args&&... args) {
    auto item = std::make_unique<U>(std::forward<Args>(args)...);
    U* p = item.get();
    items_.push_back(std::move(item));
    return p;
  }
  // Inserts before index (0..Count).
  T* Insert(int index, std::unique_ptr<T> item) {
    if (index < 0 || index > Count()) OutOfRange(index);
    T* p = item.get();
    items_.insert(items_.begin() + index, std::move(item));
    return p;
  }

  T* operator[](int index) const { return Item(index); }
  T* Item(int index) const {
    if (index < 0 || index >= Count()) OutOfRange(index);
    return items_[static_cast<size_t>(index)].get();
  }
  T* Last() const { return items_.empty() ? nullptr : items_.back().get(); }
  int IndexOf(const T* item) const {
    for (size_t i = 0; i < items_.size(); ++i) {
      if (items_[i].get() == item) return static_cast<int>(i);
    }
    return -1;
  }

  // Frees the object at index and removes its slot.
  void Delete(int index) { Extract(index).reset(); }
  // Removes the slot and hands the object to the caller.
  std::unique_ptr<T> Extract(int index) {
    if (index < 0 || index >= Count()) OutOfRange(index);
    std::unique_ptr<T> item = std::move(items_[static_cast<size_t>(index)]);
    items_.erase(items_.begin() + index);
    return item;
  }
  // Frees every object in index order, then empties the list. The slots stay in place while
  // the objects are freed, so a destructor that looks at the list sees its index unchanged.
  void Clear() {
    for (auto& item : items_) item.reset();
    items_.clear();
  }

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  [[noreturn]] static void OutOfRange(int index) {
    throw EVornError("List index out of bounds (" + std::to_string(index) + ")");
  }
  std::vector<std::unique_ptr<T>> items_;
};

}  // namespace vorn
