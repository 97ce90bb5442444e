// THashCollection: an ordered, owning collection of named items with a 256-bucket
// case-insensitive name index. The base of variables, archive entries, read marks and the
// picture cache.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

class THashCollectionBase;

// The bucket of a name: L = byte length of the folded name, h = L * 16, plus the first byte
// and the second-to-last byte when L >= 2; modulo 256.
int HashBucket(std::string_view name);

class THashCollectionItem {
 public:
  THashCollectionItem() = default;
  explicit THashCollectionItem(std::string name) : name_(std::move(name)) {}
  virtual ~THashCollectionItem() = default;
  THashCollectionItem(const THashCollectionItem&) = delete;
  THashCollectionItem& operator=(const THashCollectionItem&) = delete;

  const std::string& Name() const { return name_; }
  // Renames the item; an item inside a collection moves to the head of its new chain.
  void SetName(const std::string& name);
  // Position in the owning collection (-1 when not in one).
  int Index() const { return position_; }
  int Bucket() const { return bucket_; }
  // Copies the name, as assigning from another hashed item does.
  void AssignName(const THashCollectionItem& other) { SetName(other.name_); }
  // The name, or the generic default for an unnamed item.
  std::string DisplayName() const { return name_.empty() ? "(Unnamed)" : name_; }
  // The next item of the same bucket chain (newer items come first), or null.
  THashCollectionItem* ChainNext() const { return next_; }

 private:
  friend class THashCollectionBase;
  THashCollectionBase* owner_ = nullptr;
  int bucket_ = 0;
  int position_ = -1;
  std::string name_;
  THashCollectionItem* prev_ = nullptr;
  THashCollectionItem* next_ = nullptr;
};

class THashCollectionBase {
 public:
  THashCollectionBase() = default;
  virtual ~THashCollectionBase() = default;
  THashCollectionBase(const THashCollectionBase&) = delete;
  THashCollectionBase& operator=(const THashCollectionBase&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  // -1 when no item has the name (case-insensitive).
  int IndexOfName(std::string_view name) const;
  // Head of the bucket chain the name hashes to (walk it with ChainNext), or null.
  THashCollectionItem* ChainHead(std::string_view name) const {
    return heads_[static_cast<size_t>(HashBucket(name))];
  }
  // Deletes (frees) the item at index; later items move down by one.
  void Delete(int index);
  // Removes the item at index without freeing it and hands it to the caller.
  std::unique_ptr<THashCollectionItem> Extract(int index);
  void Clear();

 protected:
  THashCollectionItem* AddItem(std::unique_ptr<THashCollectionItem> item);
  THashCollectionItem* ItemAt(int index) const { return items_[static_cast<size_t>(index)].get(); }

 private:
  friend class THashCollectionItem;
  void Link(THashCollectionItem* item);
  void Unlink(THashCollectionItem* item);
  std::vector<std::unique_ptr<THashCollectionItem>> items_;
  std::array<THashCollectionItem*, 256> heads_{};
};

// Typed front of the collection for one item class.
template <class T>
class THashCollection : public THashCollectionBase {
 public:
  T* Add(std::unique_ptr<T> item) { return static_cast<T*>(AddItem(std::move(item))); }
  template <class... Args>
  T* Emplace(Args&&... args) {
    return Add(std::make_unique<T>(std::forward<Args>(args)...));
  }
  T* operator[](int index) const { return static_cast<T*>(ItemAt(index)); }
  T* Item(int index) const { return static_cast<T*>(ItemAt(index)); }
  // The item with the name, or null.
  T* Find(std::string_view name) const {
    int i = IndexOfName(name);
    return i < 0 ? nullptr : Item(i);
  }
};

}  // namespace vorn
