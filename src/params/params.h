// The script value family: TCustomParam and its integer, real, flag, string, element-reference
// and system-variable kinds. Every getter and setter converts between the requested kind and the
// element kind by one table; arrays keep their dimensions and a linear element array.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "resources/binary_reader.h"

namespace vorn {

// Type codes of values, commands, compiled expressions and saves.
inline constexpr uint8_t PT_NONE = 0, PT_INT = 1, PT_FLOAT = 2, PT_BOOL = 3, PT_STR = 4;

// Upper bound of the element count of one value. Counts and linear indexes are computed in 64
// bits and checked against it, so a script cannot ask for an allocation of any size.
inline constexpr int64_t kMaxParamElements = int64_t{1} << 24;

class TParamCollectionItem;

// The conversion table, one function per cell. Integer parse and float parse are the engine's
// locale-independent ones (number_format.h); an unparsable text gives 0.
int32_t FloatToInt(long double v);  // truncated toward zero; raises EVornError outside int32
std::string IntToText(int32_t v);
std::string FloatToText(long double v);  // 15-digit general format
int32_t TextToInt(const std::string& s);
long double TextToFloat(const std::string& s);
inline bool TextToBool(const std::string& s) { return s == "TRUE"; }
inline const char* BoolToText(bool b) { return b ? "TRUE" : "FALSE"; }

class TCustomParam {
 public:
  TCustomParam() = default;
  virtual ~TCustomParam() = default;
  TCustomParam(const TCustomParam&) = delete;
  TCustomParam& operator=(const TCustomParam&) = delete;

  virtual int GetCount() const { return 1; }
  virtual void SetCount(int n);
  virtual uint8_t GetType() const { return PT_NONE; }
  virtual bool GetBool() const { return false; }
  virtual long double GetFloat() const { return 0.0L; }
  virtual int32_t GetInt() const { return 0; }
  virtual std::string GetStr() const { return std::string(); }
  virtual void SetBool(bool) {}
  virtual void SetFloat(long double) {}
  virtual void SetInt(int32_t) {}
  virtual void SetStr(const std::string&) {}
  // Element operations raise "[%d]:配列の添字が不正です" outside 0 .. GetCount()-1.
  virtual int32_t GetIntAt(int i) const;
  virtual void SetIntAt(int i, int32_t v);
  virtual long double GetFloatAt(int i) const;
  virtual void SetFloatAt(int i, long double v);
  virtual bool GetBoolAt(int i) const;
  virtual void SetBoolAt(int i, bool v);
  virtual std::string GetStrAt(int i) const;
  virtual void SetStrAt(int i, const std::string& v);
  // 1 for a scalar; GetDim(k) is 1 for k out of range.
  virtual int GetDimCount() const;
  virtual int GetDim(int k) const;
  const std::vector<int32_t>& Dims() const { return dims_; }
  // Copies dimensions and elements of a value of the same class unchanged.
  virtual void AssignRaw(const TCustomParam& other);
  // Every size must be > 0 and the product at most kMaxParamElements, otherwise
  // "配列の要素数[%s]が不正です"; then the elements are resized in linear order.
  virtual void SetDims(const std::vector<int32_t>& sizes);
  virtual void FillInt(int32_t v);
  virtual void FillFloat(long double v);
  virtual void FillBool(bool v);
  virtual void FillStr(const std::string& v);
  // "CopyMem:変数の型があいません" unless other is of the same class.
  virtual void CopyMem(const TCustomParam& other);
  // Saved form: int32 dimension count, the sizes, int32 element count, the elements.
  virtual void SaveToStream(BinaryWriter& w) const;
  virtual void LoadFromStream(BinaryReader& r);
  virtual void MakeScalar();
  // Index of the first element that matches, or -1 (see the collection docs).
  virtual int IndexOfStr(const std::string& text, bool exact, bool partial) const;
  // The type code used in saved records: the value's own class (0 for a reference).
  virtual uint8_t StoredType() const { return GetType(); }

  // Typed copy: takes the source's dimensions, then converts every element into this type.
  void CopyFrom(const TCustomParam& source);
  // A stand-alone copy of the same class holding the same dimensions and elements.
  virtual std::unique_ptr<TCustomParam> Clone() const;

 protected:
  void CheckIndex(int i) const;
  void SaveDims(BinaryWriter& w) const;
  void LoadDims(BinaryReader& r);
  std::vector<int32_t> dims_;
};

// A fresh value of a type code: 0 gives an unbound TParamVar, 1..4 the typed scalars; any
// other code raises EVornError.
std::unique_ptr<TCustomParam> CreateParam(uint8_t type);

// Product of the sizes in 64 bits; raises "配列の要素数[%s]が不正です" when a size is <= 0 or
// the product exceeds kMaxParamElements.
int64_t CheckedElementCount(const std::vector<int32_t>& sizes);
// Linear index of (i1..in) in an array of the given sizes, computed in 64 bits (the last index
// varies fastest). Sizes of a scalar (empty) count as one dimension of size 1.
int64_t LinearIndex(const std::vector<int32_t>& sizes, const std::vector<int64_t>& indices);

// The four element kinds share one template; the element conversions live in params.cpp.
template <class E, uint8_t Code>
class TParamTyped : public TCustomParam {
 public:
  TParamTyped() : elems_(1, E{}) {}
  int GetCount() const override { return static_cast<int>(elems_.size()); }
  void SetCount(int n) override;
  uint8_t GetType() const override { return Code; }
  bool GetBool() const override { return GetBoolAt(0); }
  long double GetFloat() const override { return GetFloatAt(0); }
  int32_t GetInt() const override { return GetIntAt(0); }
  std::string GetStr() const override { return GetStrAt(0); }
  void SetBool(bool v) override { MakeScalar(); elems_[0] = FromBool(v); }
  void SetFloat(long double v) override { MakeScalar(); elems_[0] = FromFloat(v); }
  void SetInt(int32_t v) override { MakeScalar(); elems_[0] = FromInt(v); }
  void SetStr(const std::string& v) override { MakeScalar(); elems_[0] = FromStr(v); }
  int32_t GetIntAt(int i) const override { CheckIndex(i); return ToInt(elems_[static_cast<size_t>(i)]); }
  void SetIntAt(int i, int32_t v) override { CheckIndex(i); elems_[static_cast<size_t>(i)] = FromInt(v); }
  long double GetFloatAt(int i) const override { CheckIndex(i); return ToFloat(elems_[static_cast<size_t>(i)]); }
  void SetFloatAt(int i, long double v) override { CheckIndex(i); elems_[static_cast<size_t>(i)] = FromFloat(v); }
  bool GetBoolAt(int i) const override { CheckIndex(i); return ToBool(elems_[static_cast<size_t>(i)]); }
  void SetBoolAt(int i, bool v) override { CheckIndex(i); elems_[static_cast<size_t>(i)] = FromBool(v); }
  std::string GetStrAt(int i) const override { CheckIndex(i); return ToStr(elems_[static_cast<size_t>(i)]); }
  void SetStrAt(int i, const std::string& v) override { CheckIndex(i); elems_[static_cast<size_t>(i)] = FromStr(v); }
  void AssignRaw(const TCustomParam& other) override;
  void FillInt(int32_t v) override { Fill(FromInt(v)); }
  void FillFloat(long double v) override { Fill(FromFloat(v)); }
  void FillBool(bool v) override { Fill(FromBool(v)); }
  void FillStr(const std::string& v) override { Fill(FromStr(v)); }
  void CopyMem(const TCustomParam& other) override;
  void SaveToStream(BinaryWriter& w) const override;
  void LoadFromStream(BinaryReader& r) override;
  void MakeScalar() override;
  std::unique_ptr<TCustomParam> Clone() const override;

  // Direct element access for code that knows the kind (no conversion, no bounds check).
  std::vector<E>& Elements() { return elems_; }
  const std::vector<E>& Elements() const { return elems_; }

  static int32_t ToInt(const E& e);
  static long double ToFloat(const E& e);
  static bool ToBool(const E& e);
  static std::string ToStr(const E& e);
  static E FromInt(int32_t v);
  static E FromFloat(long double v);
  static E FromBool(bool v);
  static E FromStr(const std::string& v);

 private:
  void Fill(const E& v) { for (auto& e : elems_) e = v; }
  static void WriteElem(BinaryWriter& w, const E& e);
  static E ReadElem(BinaryReader& r);
  std::vector<E> elems_;
};

using TParamInt = TParamTyped<int32_t, PT_INT>;
using TParamFloat = TParamTyped<long double, PT_FLOAT>;
using TParamFlag = TParamTyped<uint8_t, PT_BOOL>;
using TParamStr = TParamTyped<std::string, PT_STR>;

// The element conversions and element stream codecs of each kind (defined in params.cpp).
template <> int32_t TParamInt::ToInt(const int32_t& e);
template <> long double TParamInt::ToFloat(const int32_t& e);
template <> bool TParamInt::ToBool(const int32_t& e);
template <> std::string TParamInt::ToStr(const int32_t& e);
template <> int32_t TParamInt::FromInt(int32_t v);
template <> int32_t TParamInt::FromFloat(long double v);
template <> int32_t TParamInt::FromBool(bool v);
template <> int32_t TParamInt::FromStr(const std::string& v);
template <> int32_t TParamFloat::ToInt(const long double& e);
template <> long double TParamFloat::ToFloat(const long double& e);
template <> bool TParamFloat::ToBool(const long double& e);
template <> std::string TParamFloat::ToStr(const long double& e);
template <> long double TParamFloat::FromInt(int32_t v);
template <> long double TParamFloat::FromFloat(long double v);
template <> long double TParamFloat::FromBool(bool v);
template <> long double TParamFloat::FromStr(const std::string& v);
template <> int32_t TParamFlag::ToInt(const uint8_t& e);
template <> long double TParamFlag::ToFloat(const uint8_t& e);
template <> bool TParamFlag::ToBool(const uint8_t& e);
template <> std::string TParamFlag::ToStr(const uint8_t& e);
template <> uint8_t TParamFlag::FromInt(int32_t v);
template <> uint8_t TParamFlag::FromFloat(long double v);
template <> uint8_t TParamFlag::FromBool(bool v);
template <> uint8_t TParamFlag::FromStr(const std::string& v);
template <> int32_t TParamStr::ToInt(const std::string& e);
template <> long double TParamStr::ToFloat(const std::string& e);
template <> bool TParamStr::ToBool(const std::string& e);
template <> std::string TParamStr::ToStr(const std::string& e);
template <> std::string TParamStr::FromInt(int32_t v);
template <> std::string TParamStr::FromFloat(long double v);
template <> std::string TParamStr::FromBool(bool v);
template <> std::string TParamStr::FromStr(const std::string& v);
template <> void TParamInt::WriteElem(BinaryWriter& w, const int32_t& e);
template <> int32_t TParamInt::ReadElem(BinaryReader& r);
template <> void TParamFloat::WriteElem(BinaryWriter& w, const long double& e);
template <> long double TParamFloat::ReadElem(BinaryReader& r);
template <> void TParamFlag::WriteElem(BinaryWriter& w, const uint8_t& e);
template <> uint8_t TParamFlag::ReadElem(BinaryReader& r);
template <> void TParamStr::WriteElem(BinaryWriter& w, const std::string& e);
template <> std::string TParamStr::ReadElem(BinaryReader& r);

extern template class TParamTyped<int32_t, PT_INT>;
extern template class TParamTyped<long double, PT_FLOAT>;
extern template class TParamTyped<uint8_t, PT_BOOL>;
extern template class TParamTyped<std::string, PT_STR>;

// A reference to another variable, checked on every access: the item it is bound to may be
// freed while the reference lives (a function deleting variables in the middle of an
// evaluation); the reference then raises "\"%s\" 変数がありません" instead of dangling.
// Element mode (ElementMode() true) addresses one element by its linear index; otherwise the
// scalar operations go to the variable's own scalar operations (element 0 of a plain value).
class TParamVar final : public TCustomParam {
 public:
  TParamVar() = default;
  explicit TParamVar(std::string refName) : refName_(std::move(refName)) {}

  const std::string& RefName() const { return refName_; }
  void SetRefName(std::string name) { refName_ = std::move(name); }
  bool Bound() const;
  // Binds to the item; element mode with the index when element >= 0.
  void Bind(TParamCollectionItem* item, int32_t element = -1);
  void Unbind();
  TParamCollectionItem* Target() const;  // null when unbound or freed
  bool ElementMode() const { return elementMode_ != 0; }
  int32_t ElementIndex() const { return index_; }

  int GetCount() const override;
  void SetCount(int n) override;
  uint8_t GetType() const override;
  bool GetBool() const override;
  long double GetFloat() const override;
  int32_t GetInt() const override;
  std::string GetStr() const override;
  void SetBool(bool v) override;
  void SetFloat(long double v) override;
  void SetInt(int32_t v) override;
  void SetStr(const std::string& v) override;
  int32_t GetIntAt(int i) const override;
  void SetIntAt(int i, int32_t v) override;
  long double GetFloatAt(int i) const override;
  void SetFloatAt(int i, long double v) override;
  bool GetBoolAt(int i) const override;
  void SetBoolAt(int i, bool v) override;
  std::string GetStrAt(int i) const override;
  void SetStrAt(int i, const std::string& v) override;
  int GetDimCount() const override;
  int GetDim(int k) const override;
  void SetDims(const std::vector<int32_t>& sizes) override;
  void FillInt(int32_t v) override;
  void FillFloat(long double v) override;
  void FillBool(bool v) override;
  void FillStr(const std::string& v) override;
  void CopyMem(const TCustomParam& other) override;
  void SaveToStream(BinaryWriter& w) const override;
  void LoadFromStream(BinaryReader& r) override;
  void MakeScalar() override {}
  int IndexOfStr(const std::string& text, bool exact, bool partial) const override;
  uint8_t StoredType() const override { return PT_NONE; }
  std::unique_ptr<TCustomParam> Clone() const override;

  // The referenced value; raises "\"%s\" 変数がありません" when unbound or freed.
  TCustomParam& Value() const;

 private:
  std::string refName_;
  std::shared_ptr<TParamCollectionItem* const> handle_;  // cleared when the item dies
  std::string boundName_;  // name of the bound item as loaded from a stream
  uint8_t elementMode_ = 0;
  int32_t index_ = 0;
};

// One element of a system variable as the engine holds it natively.
struct TSysValue {
  uint8_t type = PT_NONE;
  int32_t i = 0;
  long double f = 0.0L;
  bool b = false;
  std::string s;
};

// Where system variables read and write engine state. The later system-variable code
// implements it; TParamSystem does the conversions so a hook only deals with native kinds.
class TSystemVarHook {
 public:
  virtual ~TSystemVarHook() = default;
  // A value every operation is forwarded to (@Result, @Temp), or null.
  virtual TCustomParam* Forward(int /*index*/) { return nullptr; }
  // Type code of system variable `index` (0 when it stands for nothing).
  virtual uint8_t Type(int index) = 0;
  virtual int Count(int /*index*/) { return 1; }
  virtual int DimCount(int /*index*/) { return 1; }
  virtual int Dim(int /*index*/, int /*k*/) { return 1; }
  // Native value of element `element`.
  virtual TSysValue Get(int index, int element) = 0;
  // A write, already converted to the variable's type. Read-only variables ignore it; a kind
  // the variable does not accept raises "内部エラー".
  virtual void Set(int index, const TSysValue& value) = 0;
};

// A system variable (@-name): stores nothing; every operation asks the hook. Without a hook it
// reads as an empty value of type 0 and ignores writes.
class TParamSystem final : public TCustomParam {
 public:
  TParamSystem(int index, TSystemVarHook* hook) : index_(index), hook_(hook) {}
  int Index() const { return index_; }
  void SetHook(TSystemVarHook* hook) { hook_ = hook; }

  int GetCount() const override;
  uint8_t GetType() const override;
  bool GetBool() const override { return GetBoolAt(0); }
  long double GetFloat() const override { return GetFloatAt(0); }
  int32_t GetInt() const override { return GetIntAt(0); }
  std::string GetStr() const override { return GetStrAt(0); }
  void SetBool(bool v) override;
  void SetFloat(long double v) override;
  void SetInt(int32_t v) override;
  void SetStr(const std::string& v) override;
  int32_t GetIntAt(int i) const override;
  long double GetFloatAt(int i) const override;
  bool GetBoolAt(int i) const override;
  std::string GetStrAt(int i) const override;
  void SetIntAt(int i, int32_t v) override;
  void SetFloatAt(int i, long double v) override;
  void SetBoolAt(int i, bool v) override;
  void SetStrAt(int i, const std::string& v) override;
  int GetDimCount() const override;
  int GetDim(int k) const override;
  void SaveToStream(BinaryWriter& w) const override;
  void LoadFromStream(BinaryReader& r) override;
  std::unique_ptr<TCustomParam> Clone() const override;

 private:
  TCustomParam* Fwd() const;
  TSysValue Read(int element) const;
  void Write(const TSysValue& v);
  int index_;
  TSystemVarHook* hook_;
};

}  // namespace vorn
