// Dirty-rectangle merging. Distances are computed in 64 bits so rectangles near the int32
// limits cannot overflow the "grown by 20" test.
#include "clip_list.h"

#include <algorithm>

namespace vorn {

namespace {

bool Near(const TRect& e, const TRect& r) {
  const int64_t d = TClipList::kMergeDistance;
  return !(int64_t{e.right} + d < r.left || int64_t{e.bottom} + d < r.top || int64_t{r.right} < int64_t{e.left} - d ||
           int64_t{r.bottom} < int64_t{e.top} - d);
}

bool Contains(const TRect& e, const TRect& r) {
  return r.left >= e.left && r.top >= e.top && r.right <= e.right && r.bottom <= e.bottom;
}

}  // namespace

void TClipList::AddDirtyRect(const TRect& rect) {
  if (rect.Empty()) return;
  TRect r = rect;
  // Iterative form of "remove the near rectangle and add the union by the same procedure".
  for (;;) {
    auto it = std::find_if(rects_.begin(), rects_.end(), [&](const TRect& e) { return Near(e, r); });
    if (it == rects_.end()) break;
    if (Contains(*it, r)) return;
    TRect e = *it;
    rects_.erase(it);
    changed_ = true;
    r = {std::min(e.left, r.left), std::min(e.top, r.top), std::max(e.right, r.right), std::max(e.bottom, r.bottom)};
  }
  rects_.push_back(r);
  changed_ = true;
}

void TClipList::Delete(int i) {
  if (i < 0 || i >= Count()) return;
  rects_.erase(rects_.begin() + i);
  changed_ = true;
}

void TClipList::Clear() {
  rects_.clear();
  changed_ = true;
}

}  // namespace vorn
