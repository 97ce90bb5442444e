// RecordIO over the page-file bytes: the reader and the writer of command records.
#pragma once

#include "script/record_io.h"

namespace vorn {

class RecordReader final : public RecordIO {
 public:
  RecordReader(BinaryReader& r, int version, const PropertySet* set)
      : RecordIO(version, set), r_(r) {}
  void Int(int32_t& v, const char* field, FieldRole) override { v = r_.I32(field); }
  void Byte(uint8_t& v, const char* field) override { v = r_.U8(field); }
  void Str(std::string& v, const char* field) override { v = r_.CountedString(field); }
  void Expr(Expression& e, const char*) override { e.LoadFromStream(r_); }
  void ExprList(std::vector<Expression>& list, const char* field) override;
  void Block(std::vector<uint8_t>& bytes, const char* field) override;
  void Properties(PropertySlots& slots) override;

 private:
  BinaryReader& r_;
};

class RecordWriter final : public RecordIO {
 public:
  RecordWriter(BinaryWriter& w, int version, const PropertySet* set)
      : RecordIO(version, set), w_(w) {}
  void Int(int32_t& v, const char*, FieldRole) override { w_.I32(v); }
  void Byte(uint8_t& v, const char*) override { w_.U8(v); }
  void Str(std::string& v, const char*) override { w_.CountedString(v); }
  void Expr(Expression& e, const char*) override { e.SaveToStream(w_); }
  void ExprList(std::vector<Expression>& list, const char* field) override;
  void Block(std::vector<uint8_t>& bytes, const char* field) override;
  // A slot the set lists but the command lacks is written as an expression without value.
  void Properties(PropertySlots& slots) override;

 private:
  BinaryWriter& w_;
};

}  // namespace vorn
