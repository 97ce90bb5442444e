// Number lists.
#include "int_lists.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "error.h"

namespace vorn {

namespace {
[[noreturn]] void OutOfRange(int i) { throw EVornError("List index out of bounds (" + std::to_string(i) + ")"); }
}  // namespace

int32_t TIntList::GetInt(int i) const {
  if (i < 0 || i >= Count()) throw EVornError("Error:TIntList.GetInt");
  return items_[static_cast<size_t>(i)];
}

void TIntList::SetInt(int i, int32_t v) {
  if (i < 0) throw EVornError("Error:TIntList.SetInt");
  if (i >= Count()) items_.resize(static_cast<size_t>(i) + 1, 0);
  items_[static_cast<size_t>(i)] = v;
}

void TIntList::Delete(int i) {
  if (i < 0 || i >= Count()) OutOfRange(i);
  items_.erase(items_.begin() + i);
}

int TIntList::IndexOf(int32_t v) const {
  auto it = std::find(items_.begin(), items_.end(), v);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

long double TExtendedList::Get(int i) const {
  if (i < 0 || i >= Count()) OutOfRange(i);
  return items_[static_cast<size_t>(i)];
}

void TExtendedList::Sort(bool descending) {
  auto numbers = std::stable_partition(items_.begin(), items_.end(), [](long double v) { return !std::isnan(v); });
  if (descending) {
    std::stable_sort(items_.begin(), numbers, [](long double a, long double b) { return a > b; });
    std::rotate(items_.begin(), numbers, items_.end());  // NaNs, the high end, go first
  } else {
    std::stable_sort(items_.begin(), numbers, [](long double a, long double b) { return a < b; });
  }
}

int32_t TIntArray::Get(int i) const {
  if (i < 0 || i >= Count()) OutOfRange(i);
  return items_[static_cast<size_t>(i)];
}

void TIntArray::Set(int i, int32_t v) {
  if (i < 0 || i >= Count()) OutOfRange(i);
  items_[static_cast<size_t>(i)] = v;
}

}  // namespace vorn
