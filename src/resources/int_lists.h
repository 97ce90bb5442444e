// Lists of numbers: TIntList (int32 with the documented error texts), TExtendedList (extended
// reals with a sort) and TIntArray (a plain growable int32 array).
#pragma once

#include <cstdint>
#include <vector>

namespace vorn {

class TIntList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  void Add(int32_t v) { items_.push_back(v); }
  void Clear() { items_.clear(); }
  // Raises EVornError "Error:TIntList.GetInt" outside 0..Count-1.
  int32_t GetInt(int i) const;
  // Appends zeros until i < Count, then stores v. Raises "Error:TIntList.SetInt" for i < 0.
  void SetInt(int i, int32_t v);
  void Delete(int i);
  int IndexOf(int32_t v) const;
  const std::vector<int32_t>& Items() const { return items_; }

 private:
  std::vector<int32_t> items_;
};

class TExtendedList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  void Add(long double v) { items_.push_back(v); }
  // Raises EVornError outside 0..Count-1.
  long double Get(int i) const;
  void Clear() { items_.clear(); }
  // Ascending: a < b before, a > b after. Descending is the mirror. NaNs, which compare equal to
  // everything, are kept together at the high end so the order stays well defined.
  void Sort(bool descending);

 private:
  std::vector<long double> items_;
};

class TIntArray {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  void Add(int32_t v) { items_.push_back(v); }
  // Checked: raises EVornError outside 0..Count-1 rather than reading past the array.
  int32_t Get(int i) const;
  void Set(int i, int32_t v);
  void Clear() { items_.clear(); }
  const int32_t* Data() const { return items_.data(); }

 private:
  std::vector<int32_t> items_;
};

}  // namespace vorn
