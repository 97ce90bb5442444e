// Bucket chains are doubly linked through the items; each item caches its position so that
// a lookup returns an index without a search of the ordered list.
#include "hash_collection.h"

#include "error.h"
#include "sjis_case.h"

namespace vorn {

int HashBucket(std::string_view name) {
  std::string folded = FoldCase(name);
  size_t len = folded.size();
  uint32_t h = static_cast<uint32_t>(len) * 16u;
  if (len >= 2) {
    h += static_cast<uint8_t>(folded[0]);
    h += static_cast<uint8_t>(folded[len - 2]);
  }
  return static_cast<int>(h % 256u);
}

void THashCollectionItem::SetName(const std::string& name) {
  if (name == name_) return;
  if (owner_) owner_->Unlink(this);
  name_ = name;
  if (owner_) owner_->Link(this);
}

void THashCollectionBase::Link(THashCollectionItem* item) {
  item->bucket_ = HashBucket(item->name_);
  THashCollectionItem*& head = heads_[static_cast<size_t>(item->bucket_)];
  item->prev_ = nullptr;
  item->next_ = head;
  if (head) head->prev_ = item;
  head = item;
}

void THashCollectionBase::Unlink(THashCollectionItem* item) {
  if (item->prev_) {
    item->prev_->next_ = item->next_;
  } else {
    heads_[static_cast<size_t>(item->bucket_)] = item->next_;
  }
  if (item->next_) item->next_->prev_ = item->prev_;
  item->prev_ = item->next_ = nullptr;
}

THashCollectionItem* THashCollectionBase::AddItem(std::unique_ptr<THashCollectionItem> item) {
  if (!item) throw EVornError("hash collection: null item");
  THashCollectionItem* p = item.get();
  p->owner_ = this;
  p->position_ = Count();
  items_.push_back(std::move(item));
  Link(p);
  return p;
}

int THashCollectionBase::IndexOfName(std::string_view name) const {
  for (const THashCollectionItem* p = heads_[static_cast<size_t>(HashBucket(name))]; p; p = p->next_) {
    if (SameText(p->name_, name)) return p->position_;
  }
  return -1;
}

std::unique_ptr<THashCollectionItem> THashCollectionBase::Extract(int index) {
  if (index < 0 || index >= Count()) throw EVornError("hash collection: index out of range");
  auto it = items_.begin() + index;
  std::unique_ptr<THashCollectionItem> item = std::move(*it);
  items_.erase(it);
  for (size_t i = static_cast<size_t>(index); i < items_.size(); ++i) items_[i]->position_ = static_cast<int>(i);
  Unlink(item.get());
  item->owner_ = nullptr;
  item->position_ = -1;
  return item;
}

void THashCollectionBase::Delete(int index) { Extract(index); }

void THashCollectionBase::Clear() {
  // Free in index order, as the owning list does.
  for (auto& item : items_) {
    item->owner_ = nullptr;
    item.reset();
  }
  items_.clear();
  heads_.fill(nullptr);
}

}  // namespace vorn
