// TClipList: the dirty rectangles of a screen base. A new rectangle within 20 pixels of one
// already listed merges with it, so a frame repaints a few large areas, not many small ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorn {

// The one rectangle type of the engine (dirty rectangles, surfaces and drawing): left, top,
// right, bottom in pixels, right and bottom exclusive.
struct TRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
  bool IsEmpty() const { return Empty(); }
  // Extents saturate at the int32 range, so hostile coordinates cannot overflow.
  int32_t Width() const { return Saturate(int64_t{right} - left); }
  int32_t Height() const { return Saturate(int64_t{bottom} - top); }
  bool operator==(const TRect&) const = default;

 private:
  static int32_t Saturate(int64_t v) {
    return static_cast<int32_t>(v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : v);
  }
};

class TClipList {
 public:
  // How far apart two rectangles may lie and still merge.
  static constexpr int32_t kMergeDistance = 20;

  // An empty rectangle adds nothing. The first listed rectangle near r (overlapping or within
  // kMergeDistance) decides: when it contains r nothing changes; otherwise it is removed and
  // the union is added by the same rule, so the union can absorb further rectangles. When
  // none is near, r is appended.
  void AddDirtyRect(const TRect& r);
  void Delete(int i);
  void Clear();
  int Count() const { return static_cast<int>(rects_.size()); }
  const TRect& Get(int i) const { return rects_.at(static_cast<size_t>(i)); }
  const std::vector<TRect>& Rects() const { return rects_; }

  // Set by every add, delete and clear; the owner resets it after painting.
  bool Changed() const { return changed_; }
  void SetChanged(bool v) { changed_ = v; }

 private:
  std::vector<TRect> rects_;
  bool changed_ = false;
};

}  // namespace vorn
