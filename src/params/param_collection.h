// TParamCollection: the variable manager. Finds variables by name through the hashed
// collection, separates the locals of the running page from globals, keeps the 51 system
// variables at its front, parks copies of variables on the variable stack, and writes and reads
// the variables of a saved game and of the status save.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "params/params.h"
#include "resources/hash_collection.h"

namespace vorn {

class TSysFuncMan;

inline constexpr int kSystemVariableCount = 51;
// Names of the system variables in their fixed order (index = position in the collection).
extern const std::array<const char*, kSystemVariableCount> kSystemVariableNames;

// Scope codes of the variable-creating command.
enum : uint8_t { SCOPE_GLOBAL = 0, SCOPE_AUTO = 1, SCOPE_LOCAL = 2, SCOPE_STATUS = 3 };

class TParamCollectionItem final : public THashCollectionItem {
 public:
  explicit TParamCollectionItem(std::unique_ptr<TCustomParam> value);
  ~TParamCollectionItem() override;

  TCustomParam& Value() const { return *value_; }
  // Replaces the value (the old one is freed).
  void SetValue(std::unique_ptr<TCustomParam> value);
  uint8_t GetType() const { return value_->GetType(); }

  uint8_t Reserved = 0;
  uint8_t Status = 0;      // status variable: saved in the status save, kept by Reset
  int32_t ScopeId = -1;    // call depth of the page that owns it, -1 for none
  uint8_t Local = 0;       // visible only while the current scope id equals ScopeId
  bool IsSystem() const { return system_; }

  // A cell that holds this item's address until the item is freed; references keep it to
  // detect a freed target.
  const std::shared_ptr<TParamCollectionItem* const>& Handle() const { return handle_; }

  // Variable record of the saves: type byte, name, saved value, status, reserved, scope id,
  // local flag.
  void WriteRecord(BinaryWriter& w) const;

 private:
  friend class TParamCollection;
  std::unique_ptr<TCustomParam> value_;
  std::shared_ptr<TParamCollectionItem*> cell_;
  std::shared_ptr<TParamCollectionItem* const> handle_;
  bool system_ = false;
};

// What a game-save section of an old version carried that belongs to another subsystem.
struct TGameSectionExtras {
  // Versions 113..134: font size, border width, shadow offset, width, height, line spacing of
  // the default message history format. The history code stores them.
  std::optional<std::array<int32_t, 6>> legacyHistoryFormat;
};

class TParamCollection final : public THashCollection<TParamCollectionItem> {
 public:
  TParamCollection();
  ~TParamCollection() override;

  // Raises "\"%s\"：変数名が不正です" for an empty name, one containing a space, or one that
  // begins with a digit.
  static void CheckName(std::string_view name);

  // A new unnamed item at the end holding a fresh value of the type (0: a TParamVar).
  TParamCollectionItem* AddVariable(uint8_t type);
  // The variable-creating command's core: checks the name, creates it with the scope code's
  // flags (0 global, 1 auto-deleted, 2 local, 3 status).
  TParamCollectionItem* CreateVariable(const std::string& name, uint8_t type, uint8_t scope);
  // The lookup of scripts: a local of the current scope wins; otherwise the oldest non-local.
  TParamCollectionItem* FindVariable(std::string_view name) const;
  TParamCollectionItem* FindForCreate(std::string_view name, bool local) const;
  // A stand-alone copy of the variable's value; null when there is none; raises
  // "%s:不正な変数です" for a variable of type 0.
  std::unique_ptr<TCustomParam> CopyValue(std::string_view name) const;
  // Frees one variable (never a system variable).
  void DeleteVariable(TParamCollectionItem* item);
  // Frees every variable of the scope id, from the last to the first.
  void DeleteScope(int32_t id);
  // Lowers by one the scope id of every variable whose scope id is above id.
  void LowerScopesAbove(int32_t id);
  // Frees every variable that is neither system nor status; @TextDelay 50, @Cursor empty.
  void Reset();

  int32_t CurrentScope() const { return currentScope_; }
  void SetCurrentScope(int32_t id) { currentScope_ = id; }

  // The variable stack.
  void PushVariables(const std::vector<std::string>& names);
  void PopVariables();
  void ClearVariableStack() { stack_.clear(); }
  const std::vector<std::vector<uint8_t>>& VariableStack() const { return stack_; }

  // Game-save section, written at the current version; read by the saved game's version.
  // Reading is all or nothing: a damaged section raises EFormatError and changes nothing.
  void WriteGameSection(BinaryWriter& w) const;
  TGameSectionExtras ReadGameSection(BinaryReader& r, int version);
  // Status section: the status variables only; reading appends without deleting.
  void WriteStatusSection(BinaryWriter& w) const;
  void ReadStatusSection(BinaryReader& r, int version);

  // Values saved with the variables.
  std::string SelStr;
  int32_t SelIndex = 0;
  int32_t TextDelay = 50;
  std::string Cursor;
  std::string TempName;  // the variable @Temp stands for

  // Engine services reached through the collection (not owned; may be null).
  void SetSystemHook(TSystemVarHook* hook);
  TSystemVarHook* SystemHook() const { return hook_; }
  void SetFunctions(TSysFuncMan* funcs) { funcs_ = funcs; }
  TSysFuncMan* Functions() const { return funcs_; }

 private:
  bool IsSaved(const TParamCollectionItem& item, bool status) const;
  int32_t currentScope_ = 0;
  std::vector<std::vector<uint8_t>> stack_;
  TSystemVarHook* hook_ = nullptr;
  TSysFuncMan* funcs_ = nullptr;
};

// NAME<TAB>TYPE<TAB>VALUE lines (UTF-8) of every variable a script created, in collection
// order: TYPE is int, real, flag or string; arrays list their elements joined by commas.
// System variables and engine-internal names (first byte 1) are left out; a backslash, tab,
// CR or LF inside a value is written as \\, \t, \r, \n so each variable stays one line.
std::string DumpVariables(const TParamCollection& vars);

}  // namespace vorn
