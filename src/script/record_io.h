// One versioned description of every command record, shared by reading, writing, the source
// compiler and the dump: a command lists its fields through a RecordIO in stored order, with
// the page-version gates written once.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "components/property_ids.h"
#include "script/expression.h"

namespace vorn {

// Bits over the property identifiers 0..167 saying which properties the commands of one code
// carry: bit p is bit p mod 8 of byte p div 8.
struct PropertySet {
  static constexpr size_t kBytes = 21;
  std::array<uint8_t, kBytes> bits{};

  bool Has(int id) const {
    return id >= 0 && id < static_cast<int>(kBytes * 8) && (bits[static_cast<size_t>(id / 8)] >> (id % 8)) & 1;
  }
  void Set(int id) { bits[static_cast<size_t>(id / 8)] |= static_cast<uint8_t>(1u << (id % 8)); }
  bool Empty() const;
  bool operator==(const PropertySet&) const = default;
};

// One expression slot per property identifier; a slot exists when the page's set for the
// command code has the bit.
using PropertySlots = std::array<std::unique_ptr<Expression>, kPropertyCount>;

// What a field is, beyond its stored type: jump and loop targets are filled by the compiler,
// not written by the author.
enum class FieldRole : uint8_t { Value, Target };

class RecordIO {
 public:
  RecordIO(int version, const PropertySet* set) : version_(version), set_(set) {}
  virtual ~RecordIO() = default;

  // Page format version of the record.
  int Version() const { return version_; }
  // The property set of the command's code (component commands only).
  const PropertySet& Set() const;

  virtual void Int(int32_t& v, const char* field, FieldRole role = FieldRole::Value) = 0;
  virtual void Byte(uint8_t& v, const char* field) = 0;
  virtual void Str(std::string& v, const char* field) = 0;
  virtual void Expr(Expression& e, const char* field) = 0;
  // int32 count m, then m expressions.
  virtual void ExprList(std::vector<Expression>& list, const char* field) = 0;
  // int32 size, then size bytes (the compiled message text of TextIns).
  virtual void Block(std::vector<uint8_t>& bytes, const char* field) = 0;
  // One expression per identifier 0..164 whose bit is set, ascending.
  virtual void Properties(PropertySlots& slots) = 0;

 private:
  int version_;
  const PropertySet* set_;
};

}  // namespace vorn
