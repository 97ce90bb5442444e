// The value family: the conversion table, the array shape and its saved form, element
// references and system variables.
#include "params/params.h"

#include <cmath>
#include <cstdio>

#include "params/number_format.h"
#include "params/param_collection.h"
#include "params/param_messages.h"
#include "resources/error.h"
#include "resources/numeric.h"
#include "resources/sjis_case.h"

namespace vorn {

namespace {

std::string Format1(const char* pattern, const std::string& arg) {
  std::string out;
  for (const char* p = pattern; *p; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      out += arg;
      ++p;
    } else {
      out.push_back(*p);
    }
  }
  return out;
}

std::string JoinSizes(const std::vector<int32_t>& sizes) {
  std::string s;
  for (size_t i = 0; i < sizes.size(); ++i) {
    if (i) s.push_back(',');
    s += FormatInt(sizes[i]);
  }
  return s;
}

}  // namespace

// ---- conversions ----------------------------------------------------------------------------

int32_t FloatToInt(long double v) {
  if (!FitsInt32(v)) throw EVornError("real value " + FormatFloat(v) + " does not fit an integer");
  return static_cast<int32_t>(std::trunc(v));
}
std::string IntToText(int32_t v) { return FormatInt(v); }
std::string FloatToText(long double v) { return FormatFloat(v); }
int32_t TextToInt(const std::string& s) {
  int32_t v = 0;
  return TryParseInt(s, v) ? v : 0;
}
long double TextToFloat(const std::string& s) {
  long double v = 0;
  return TryParseFloat(s, v) ? v : 0.0L;
}

// ---- shape helpers --------------------------------------------------------------------------

int64_t CheckedElementCount(const std::vector<int32_t>& sizes) {
  int64_t n = 1;
  bool ok = true;
  for (int32_t d : sizes) {
    if (d <= 0) {
      ok = false;
      break;
    }
    n *= d;
    if (n > kMaxParamElements) {
      ok = false;
      break;
    }
  }
  if (!ok) throw EVornError(Format1(params_text::kMsgBadDims, JoinSizes(sizes)));
  return n;
}

int64_t LinearIndex(const std::vector<int32_t>& sizes, const std::vector<int64_t>& indices) {
  int64_t index = 0;
  int64_t stride = 1;
  size_t n = indices.size();
  for (size_t k = n; k-- > 0;) {
    int64_t d = k < sizes.size() ? sizes[k] : 1;
    index += indices[k] * stride;
    stride *= d;
    // Sizes are bounded (kMaxParamElements) and indices are int32, so no step overflows.
  }
  return index;
}

std::unique_ptr<TCustomParam> CreateParam(uint8_t type) {
  switch (type) {
    case PT_NONE: return std::make_unique<TParamVar>();
    case PT_INT: return std::make_unique<TParamInt>();
    case PT_FLOAT: return std::make_unique<TParamFloat>();
    case PT_BOOL: return std::make_unique<TParamFlag>();
    case PT_STR: return std::make_unique<TParamStr>();
  }
  throw EVornError("unknown value type " + std::to_string(type));
}

// ---- TCustomParam ---------------------------------------------------------------------------

void TCustomParam::SetCount(int) {}

void TCustomParam::CheckIndex(int i) const {
  if (i < 0 || i >= GetCount()) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", i);
    std::string msg = params_text::kMsgBadIndex;
    msg.replace(msg.find("%d"), 2, buf);
    throw EVornError(msg);
  }
}

int32_t TCustomParam::GetIntAt(int i) const { CheckIndex(i); return 0; }
void TCustomParam::SetIntAt(int i, int32_t) { CheckIndex(i); }
long double TCustomParam::GetFloatAt(int i) const { CheckIndex(i); return 0.0L; }
void TCustomParam::SetFloatAt(int i, long double) { CheckIndex(i); }
bool TCustomParam::GetBoolAt(int i) const { CheckIndex(i); return false; }
void TCustomParam::SetBoolAt(int i, bool) { CheckIndex(i); }
std::string TCustomParam::GetStrAt(int i) const { CheckIndex(i); return std::string(); }
void TCustomParam::SetStrAt(int i, const std::string&) { CheckIndex(i); }

int TCustomParam::GetDimCount() const { return dims_.empty() ? 1 : static_cast<int>(dims_.size()); }
int TCustomParam::GetDim(int k) const {
  if (k < 0 || k >= static_cast<int>(dims_.size())) return 1;
  return dims_[static_cast<size_t>(k)];
}

void TCustomParam::AssignRaw(const TCustomParam& other) { dims_ = other.dims_; }

void TCustomParam::SetDims(const std::vector<int32_t>& sizes) {
  int64_t n = CheckedElementCount(sizes);
  dims_ = sizes;
  SetCount(static_cast<int>(n));
}

void TCustomParam::FillInt(int32_t) {}
void TCustomParam::FillFloat(long double) {}
void TCustomParam::FillBool(bool) {}
void TCustomParam::FillStr(const std::string&) {}

void TCustomParam::CopyMem(const TCustomParam& other) {
  if (typeid(other) != typeid(*this)) throw EVornError(params_text::kMsgCopyMemType);
  AssignRaw(other);
}

void TCustomParam::SaveDims(BinaryWriter& w) const {
  w.I32(static_cast<int32_t>(dims_.size()));
  for (int32_t d : dims_) w.I32(d);
}

void TCustomParam::LoadDims(BinaryReader& r) {
  int32_t n = r.Count("dimension count", 4);
  std::vector<int32_t> dims(static_cast<size_t>(n));
  for (auto& d : dims) d = r.I32("dimension size");
  if (n > 0) {
    try {
      CheckedElementCount(dims);
    } catch (const EVornError&) {
      r.Fail("dimension size", "sizes [" + JoinSizes(dims) + "] are not a valid array");
    }
  }
  dims_ = std::move(dims);
}

void TCustomParam::SaveToStream(BinaryWriter& w) const {
  SaveDims(w);
  w.I32(0);
}

void TCustomParam::LoadFromStream(BinaryReader& r) {
  LoadDims(r);
  r.I32("element count");
}

void TCustomParam::MakeScalar() { dims_.clear(); }

int TCustomParam::IndexOfStr(const std::string& text, bool exact, bool partial) const {
  int n = GetCount();
  std::string needle = (partial && !exact) ? FoldCase(text) : text;
  for (int i = 0; i < n; ++i) {
    std::string e = GetStrAt(i);
    if (partial) {
      if (!exact) e = FoldCase(e);
      if (e.find(needle) != std::string::npos) return i;
    } else if (exact ? e == text : SameText(e, text)) {
      return i;
    }
  }
  return -1;
}

void TCustomParam::CopyFrom(const TCustomParam& source) {
  int n = source.GetCount();
  std::vector<int32_t> dims;
  int64_t product = 1;
  for (int k = 0; k < source.GetDimCount(); ++k) {
    dims.push_back(source.GetDim(k));
    product *= dims.back();
    if (product > kMaxParamElements) break;
  }
  if (product != n) dims.assign(1, n);  // a source whose shape is only its count
  if (n == 1 && dims.size() == 1 && source.Dims().empty()) {
    MakeScalar();
  } else {
    SetDims(dims);
  }
  switch (GetType()) {
    case PT_INT: for (int i = 0; i < n; ++i) SetIntAt(i, source.GetIntAt(i)); break;
    case PT_FLOAT: for (int i = 0; i < n; ++i) SetFloatAt(i, source.GetFloatAt(i)); break;
    case PT_BOOL: for (int i = 0; i < n; ++i) SetBoolAt(i, source.GetBoolAt(i)); break;
    case PT_STR: for (int i = 0; i < n; ++i) SetStrAt(i, source.GetStrAt(i)); break;
    default: break;
  }
}

std::unique_ptr<TCustomParam> TCustomParam::Clone() const {
  auto p = CreateParam(GetType());
  p->CopyFrom(*this);
  return p;
}

// ---- element conversions --------------------------------------------------------------------

template <> int32_t TParamInt::ToInt(const int32_t& e) { return e; }
template <> long double TParamInt::ToFloat(const int32_t& e) { return e; }
template <> bool TParamInt::ToBool(const int32_t& e) { return e != 0; }
template <> std::string TParamInt::ToStr(const int32_t& e) { return FormatInt(e); }
template <> int32_t TParamInt::FromInt(int32_t v) { return v; }
template <> int32_t TParamInt::FromFloat(long double v) { return FloatToInt(v); }
template <> int32_t TParamInt::FromBool(bool v) { return v ? 1 : 0; }
template <> int32_t TParamInt::FromStr(const std::string& v) { return TextToInt(v); }

template <> int32_t TParamFloat::ToInt(const long double& e) { return FloatToInt(e); }
template <> long double TParamFloat::ToFloat(const long double& e) { return e; }
template <> bool TParamFloat::ToBool(const long double& e) { return e != 0.0L; }
template <> std::string TParamFloat::ToStr(const long double& e) { return FormatFloat(e); }
template <> long double TParamFloat::FromInt(int32_t v) { return v; }
template <> long double TParamFloat::FromFloat(long double v) {
  if (!std::isfinite(v)) throw EVornError("real value is not finite");
  return v;
}
template <> long double TParamFloat::FromBool(bool v) { return v ? 1.0L : 0.0L; }
template <> long double TParamFloat::FromStr(const std::string& v) { return TextToFloat(v); }

template <> int32_t TParamFlag::ToInt(const uint8_t& e) { return e ? 1 : 0; }
template <> long double TParamFlag::ToFloat(const uint8_t& e) { return e ? 1.0L : 0.0L; }
template <> bool TParamFlag::ToBool(const uint8_t& e) { return e != 0; }
template <> std::string TParamFlag::ToStr(const uint8_t& e) { return BoolToText(e != 0); }
template <> uint8_t TParamFlag::FromInt(int32_t v) { return v != 0; }
template <> uint8_t TParamFlag::FromFloat(long double v) { return v != 0.0L; }
template <> uint8_t TParamFlag::FromBool(bool v) { return v; }
template <> uint8_t TParamFlag::FromStr(const std::string& v) { return TextToBool(v); }

template <> int32_t TParamStr::ToInt(const std::string& e) { return TextToInt(e); }
template <> long double TParamStr::ToFloat(const std::string& e) { return TextToFloat(e); }
template <> bool TParamStr::ToBool(const std::string& e) { return TextToBool(e); }
template <> std::string TParamStr::ToStr(const std::string& e) { return e; }
template <> std::string TParamStr::FromInt(int32_t v) { return FormatInt(v); }
template <> std::string TParamStr::FromFloat(long double v) { return FormatFloat(v); }
template <> std::string TParamStr::FromBool(bool v) { return BoolToText(v); }
template <> std::string TParamStr::FromStr(const std::string& v) { return v; }

template <> void TParamInt::WriteElem(BinaryWriter& w, const int32_t& e) { w.I32(e); }
template <> int32_t TParamInt::ReadElem(BinaryReader& r) { return r.I32("integer element"); }
template <> void TParamFloat::WriteElem(BinaryWriter& w, const long double& e) { w.Extended(e); }
template <> long double TParamFloat::ReadElem(BinaryReader& r) { return r.Extended("real element"); }
template <> void TParamFlag::WriteElem(BinaryWriter& w, const uint8_t& e) { w.U8(e ? 1 : 0); }
template <> uint8_t TParamFlag::ReadElem(BinaryReader& r) { return r.U8("flag element") != 0; }
template <> void TParamStr::WriteElem(BinaryWriter& w, const std::string& e) { w.CountedString(e); }
template <> std::string TParamStr::ReadElem(BinaryReader& r) { return r.CountedString("string element"); }

// ---- TParamTyped ----------------------------------------------------------------------------

template <class E, uint8_t Code>
void TParamTyped<E, Code>::SetCount(int n) {
  if (n < 1 || n > kMaxParamElements) throw EVornError(Format1(params_text::kMsgBadDims, FormatInt(n)));
  elems_.resize(static_cast<size_t>(n), E{});
}

template <class E, uint8_t Code>
void TParamTyped<E, Code>::AssignRaw(const TCustomParam& other) {
  const auto& o = dynamic_cast<const TParamTyped&>(other);
  dims_ = o.dims_;
  elems_ = o.elems_;
}

template <class E, uint8_t Code>
void TParamTyped<E, Code>::CopyMem(const TCustomParam& other) {
  const auto* o = dynamic_cast<const TParamTyped*>(&other);
  if (!o) throw EVornError(params_text::kMsgCopyMemType);
  if (o == this) return;
  dims_ = o->dims_;
  elems_ = o->elems_;
}

template <class E, uint8_t Code>
void TParamTyped<E, Code>::SaveToStream(BinaryWriter& w) const {
  SaveDims(w);
  w.I32(static_cast<int32_t>(elems_.size()));
  for (const E& e : elems_) WriteElem(w, e);
}

template <class E, uint8_t Code>
void TParamTyped<E, Code>::LoadFromStream(BinaryReader& r) {
  std::vector<int32_t> oldDims = dims_;
  LoadDims(r);
  int64_t expected = dims_.empty() ? 1 : CheckedElementCount(dims_);
  size_t minSize = Code == PT_FLOAT ? 10 : Code == PT_INT ? 4 : Code == PT_BOOL ? 1 : 4;
  int32_t n = r.Count("element count", minSize);
  if (n != expected) {
    dims_ = oldDims;
    r.Fail("element count", std::to_string(n) + " does not match the dimensions (" + std::to_string(expected) + ")");
  }
  std::vector<E> elems;
  elems.reserve(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) elems.push_back(ReadElem(r));
  elems_ = std::move(elems);
}

template <class E, uint8_t Code>
void TParamTyped<E, Code>::MakeScalar() {
  if (dims_.empty() && elems_.size() == 1) return;
  dims_.clear();
  elems_.resize(1);
}

template <class E, uint8_t Code>
std::unique_ptr<TCustomParam> TParamTyped<E, Code>::Clone() const {
  auto p = std::make_unique<TParamTyped>();
  p->dims_ = dims_;
  p->elems_ = elems_;
  return p;
}

template class TParamTyped<int32_t, PT_INT>;
template class TParamTyped<long double, PT_FLOAT>;
template class TParamTyped<uint8_t, PT_BOOL>;
template class TParamTyped<std::string, PT_STR>;

// ---- TParamVar ------------------------------------------------------------------------------

bool TParamVar::Bound() const { return handle_ && *handle_; }

void TParamVar::Bind(TParamCollectionItem* item, int32_t element) {
  handle_ = item ? item->Handle() : nullptr;
  boundName_ = item ? item->Name() : std::string();
  elementMode_ = element >= 0 ? 1 : 0;
  index_ = element >= 0 ? element : 0;
}

void TParamVar::Unbind() {
  handle_.reset();
  boundName_.clear();
  elementMode_ = 0;
  index_ = 0;
}

TParamCollectionItem* TParamVar::Target() const { return handle_ ? *handle_ : nullptr; }

TCustomParam& TParamVar::Value() const {
  TParamCollectionItem* item = Target();
  if (!item) throw EVornError(Format1(params_text::kMsgNoVariable, refName_));
  return item->Value();
}

int TParamVar::GetCount() const { return Value().GetCount(); }
void TParamVar::SetCount(int n) { Value().SetCount(n); }
uint8_t TParamVar::GetType() const {
  TParamCollectionItem* item = Target();
  return item ? item->Value().GetType() : PT_NONE;
}
bool TParamVar::GetBool() const { return ElementMode() ? Value().GetBoolAt(index_) : Value().GetBool(); }
long double TParamVar::GetFloat() const { return ElementMode() ? Value().GetFloatAt(index_) : Value().GetFloat(); }
int32_t TParamVar::GetInt() const { return ElementMode() ? Value().GetIntAt(index_) : Value().GetInt(); }
std::string TParamVar::GetStr() const { return ElementMode() ? Value().GetStrAt(index_) : Value().GetStr(); }
void TParamVar::SetBool(bool v) { ElementMode() ? Value().SetBoolAt(index_, v) : Value().SetBool(v); }
void TParamVar::SetFloat(long double v) { ElementMode() ? Value().SetFloatAt(index_, v) : Value().SetFloat(v); }
void TParamVar::SetInt(int32_t v) { ElementMode() ? Value().SetIntAt(index_, v) : Value().SetInt(v); }
void TParamVar::SetStr(const std::string& v) { ElementMode() ? Value().SetStrAt(index_, v) : Value().SetStr(v); }
int32_t TParamVar::GetIntAt(int i) const { return Value().GetIntAt(i); }
void TParamVar::SetIntAt(int i, int32_t v) { Value().SetIntAt(i, v); }
long double TParamVar::GetFloatAt(int i) const { return Value().GetFloatAt(i); }
void TParamVar::SetFloatAt(int i, long double v) { Value().SetFloatAt(i, v); }
bool TParamVar::GetBoolAt(int i) const { return Value().GetBoolAt(i); }
void TParamVar::SetBoolAt(int i, bool v) { Value().SetBoolAt(i, v); }
std::string TParamVar::GetStrAt(int i) const { return Value().GetStrAt(i); }
void TParamVar::SetStrAt(int i, const std::string& v) { Value().SetStrAt(i, v); }
int TParamVar::GetDimCount() const { return Value().GetDimCount(); }
int TParamVar::GetDim(int k) const { return Value().GetDim(k); }
void TParamVar::SetDims(const std::vector<int32_t>& sizes) { Value().SetDims(sizes); }
void TParamVar::FillInt(int32_t v) { Value().FillInt(v); }
void TParamVar::FillFloat(long double v) { Value().FillFloat(v); }
void TParamVar::FillBool(bool v) { Value().FillBool(v); }
void TParamVar::FillStr(const std::string& v) { Value().FillStr(v); }
void TParamVar::CopyMem(const TCustomParam& other) {
  const auto* ref = dynamic_cast<const TParamVar*>(&other);
  Value().CopyMem(ref ? ref->Value() : other);
}
int TParamVar::IndexOfStr(const std::string& text, bool exact, bool partial) const {
  return Value().IndexOfStr(text, exact, partial);
}

void TParamVar::SaveToStream(BinaryWriter& w) const {
  SaveDims(w);
  w.CountedString(refName_);
  TParamCollectionItem* item = Target();
  w.CountedString(item ? item->Name() : std::string());
  w.U8(elementMode_);
  w.I32(index_);
}

void TParamVar::LoadFromStream(BinaryReader& r) {
  LoadDims(r);
  refName_ = r.CountedString("reference name");
  boundName_ = r.CountedString("bound name");
  elementMode_ = r.U8("reference flag");
  index_ = r.I32("element index");
  handle_.reset();
}

std::unique_ptr<TCustomParam> TParamVar::Clone() const {
  auto p = std::make_unique<TParamVar>(refName_);
  p->dims_ = dims_;
  p->handle_ = handle_;
  p->boundName_ = boundName_;
  p->elementMode_ = elementMode_;
  p->index_ = index_;
  return p;
}

// ---- TParamSystem ---------------------------------------------------------------------------

TCustomParam* TParamSystem::Fwd() const { return hook_ ? hook_->Forward(index_) : nullptr; }

uint8_t TParamSystem::GetType() const {
  if (TCustomParam* f = Fwd()) return f->GetType();
  return hook_ ? hook_->Type(index_) : PT_NONE;
}

int TParamSystem::GetCount() const {
  if (TCustomParam* f = Fwd()) return f->GetCount();
  return hook_ ? hook_->Count(index_) : 1;
}

int TParamSystem::GetDimCount() const {
  if (TCustomParam* f = Fwd()) return f->GetDimCount();
  return hook_ ? hook_->DimCount(index_) : 1;
}

int TParamSystem::GetDim(int k) const {
  if (TCustomParam* f = Fwd()) return f->GetDim(k);
  return hook_ ? hook_->Dim(index_, k) : 1;
}

TSysValue TParamSystem::Read(int element) const {
  if (!hook_) return TSysValue{};
  return hook_->Get(index_, element);
}

namespace {

int32_t SysToInt(const TSysValue& v) {
  switch (v.type) {
    case PT_INT: return v.i;
    case PT_FLOAT: return FloatToInt(v.f);
    case PT_BOOL: return v.b ? 1 : 0;
    case PT_STR: return TextToInt(v.s);
  }
  return 0;
}
long double SysToFloat(const TSysValue& v) {
  switch (v.type) {
    case PT_INT: return v.i;
    case PT_FLOAT: return v.f;
    case PT_BOOL: return v.b ? 1.0L : 0.0L;
    case PT_STR: return TextToFloat(v.s);
  }
  return 0.0L;
}
bool SysToBool(const TSysValue& v) {
  switch (v.type) {
    case PT_INT: return v.i != 0;
    case PT_FLOAT: return v.f != 0.0L;
    case PT_BOOL: return v.b;
    case PT_STR: return TextToBool(v.s);
  }
  return false;
}
std::string SysToStr(const TSysValue& v) {
  switch (v.type) {
    case PT_INT: return FormatInt(v.i);
    case PT_FLOAT: return FormatFloat(v.f);
    case PT_BOOL: return BoolToText(v.b);
    case PT_STR: return v.s;
  }
  return std::string();
}

}  // namespace

int32_t TParamSystem::GetIntAt(int i) const {
  if (TCustomParam* f = Fwd()) return i == 0 && f->GetCount() >= 1 ? f->GetInt() : f->GetIntAt(i);
  return SysToInt(Read(i));
}
long double TParamSystem::GetFloatAt(int i) const {
  if (TCustomParam* f = Fwd()) return i == 0 && f->GetCount() >= 1 ? f->GetFloat() : f->GetFloatAt(i);
  return SysToFloat(Read(i));
}
bool TParamSystem::GetBoolAt(int i) const {
  if (TCustomParam* f = Fwd()) return i == 0 && f->GetCount() >= 1 ? f->GetBool() : f->GetBoolAt(i);
  return SysToBool(Read(i));
}
std::string TParamSystem::GetStrAt(int i) const {
  if (TCustomParam* f = Fwd()) return i == 0 && f->GetCount() >= 1 ? f->GetStr() : f->GetStrAt(i);
  return SysToStr(Read(i));
}

void TParamSystem::Write(const TSysValue& v) {
  if (!hook_) return;
  TSysValue native;
  native.type = hook_->Type(index_);
  switch (native.type) {
    case PT_INT:
      if (v.type == PT_STR) {
        // An unparsable text leaves an integer system variable unchanged.
        if (!TryParseInt(v.s, native.i)) return;
      } else {
        native.i = SysToInt(v);
      }
      break;
    case PT_FLOAT:
      if (v.type == PT_STR) {
        if (!TryParseFloat(v.s, native.f)) return;
      } else {
        native.f = SysToFloat(v);
      }
      break;
    case PT_BOOL: native.b = SysToBool(v); break;
    case PT_STR: native.s = SysToStr(v); break;
    default: return;
  }
  hook_->Set(index_, native);
}

void TParamSystem::SetBool(bool v) {
  if (TCustomParam* f = Fwd()) return f->SetBool(v);
  TSysValue s; s.type = PT_BOOL; s.b = v; Write(s);
}
void TParamSystem::SetFloat(long double v) {
  if (TCustomParam* f = Fwd()) return f->SetFloat(v);
  TSysValue s; s.type = PT_FLOAT; s.f = v; Write(s);
}
void TParamSystem::SetInt(int32_t v) {
  if (TCustomParam* f = Fwd()) return f->SetInt(v);
  TSysValue s; s.type = PT_INT; s.i = v; Write(s);
}
void TParamSystem::SetStr(const std::string& v) {
  if (TCustomParam* f = Fwd()) return f->SetStr(v);
  TSysValue s; s.type = PT_STR; s.s = v; Write(s);
}
void TParamSystem::SetIntAt(int i, int32_t v) {
  if (TCustomParam* f = Fwd()) return f->SetIntAt(i, v);
  if (i == 0) SetInt(v);
}
void TParamSystem::SetFloatAt(int i, long double v) {
  if (TCustomParam* f = Fwd()) return f->SetFloatAt(i, v);
  if (i == 0) SetFloat(v);
}
void TParamSystem::SetBoolAt(int i, bool v) {
  if (TCustomParam* f = Fwd()) return f->SetBoolAt(i, v);
  if (i == 0) SetBool(v);
}
void TParamSystem::SetStrAt(int i, const std::string& v) {
  if (TCustomParam* f = Fwd()) return f->SetStrAt(i, v);
  if (i == 0) SetStr(v);
}

void TParamSystem::SaveToStream(BinaryWriter& w) const {
  // A system variable stores nothing of its own; its saved form is a snapshot of its value.
  uint8_t type = GetType();
  if (type == PT_NONE) {
    TCustomParam::SaveToStream(w);
    return;
  }
  auto snap = CreateParam(type);
  snap->CopyFrom(*this);
  snap->SaveToStream(w);
}

void TParamSystem::LoadFromStream(BinaryReader& r) {
  uint8_t type = GetType();
  auto tmp = CreateParam(type == PT_NONE ? PT_STR : type);
  if (type == PT_NONE) {
    TCustomParam dummy;
    dummy.LoadFromStream(r);
    return;
  }
  tmp->LoadFromStream(r);
  CopyFrom(*tmp);
}

std::unique_ptr<TCustomParam> TParamSystem::Clone() const {
  uint8_t type = GetType();
  auto p = CreateParam(type);
  if (type != PT_NONE) p->CopyFrom(*this);
  return p;
}

}  // namespace vorn
