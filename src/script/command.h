// The command base class of page files, the common record header, and the owned command
// list of a page. Each command kind lists its record through Transfer (see record_io.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "script/record_io.h"

namespace vorn {

class TCallMan;
class TComList;
class TPage;

// Command codes: the index of a command kind in the table of script names.
enum CommandCode : int {
  kComIf = 0, kComElseif, kComElse, kComLabel, kComJump, kComCall, kComExit, kComWait,
  kComBoxNew, kComImgNew, kComMesNew, kComTimer, kComMovie, kComFlip, kComCalc, kComVarNew,
  kComVarDel, kComGetProp, kComSetProp, kComObjDel, kComTextIns, kComMovieStop, kComClrHist,
  kComCinema, kComCaption, kComMenu, kComMenuClose, kComComment, kComTextClr, kComCallHist,
  kComButton, kComWhile, kComWhileInit, kComWhileLoop, kComBreak, kComContinue,
  kComParticleNew, kComFireNew, kComGameSave, kComGameLoad, kComPCReset, kComReset, kComSound,
  kComEditNew, kComMemoNew, kComTerminate, kComDoEvent, kComClrRead, kComMapImgNew,
  kComWaveNew, kComTileNew, kComSliderNew, kComScrollbarNew, kComGaugeNew, kComCGCaption,
  kComMediaPlay, kComPrevMenuNew, kComPropMotion, kComFormatHist, kComSaveCabinet,
  kComLoadCabinet,
};
inline constexpr int kCommandKinds = 61;

// The script name of a code ("If", "BoxNew", ...), nullptr outside 0..60.
const char* CommandScriptName(int code);
// Code of a script name (exact ASCII case ignored), -1 when unknown.
int CommandCodeOfName(const std::string& name);

// The one factory: a command object for a code 0..60, nullptr otherwise.
std::unique_ptr<class TCommand> CreateCommand(int code);

class TCommand {
 public:
  virtual ~TCommand() = default;

  virtual int Kind() const = 0;
  // The interpreter goes on to the next command in the same frame after this one.
  virtual bool Continues() const { return continue_; }
  virtual bool Disabled() const { return disabled_; }
  void SetDisabled(bool value) { disabled_ = value; }
  virtual bool IsLabel(const std::string& /*name*/) const { return false; }

  // Execution by the interpreter (call_man.h). Start runs once before the first Execute of a
  // run; Execute advances the program counter (or moves it, or leaves it to stay in
  // progress). BlocksEvents is asked while the command is in progress; Yields tells whether
  // executing it gives up the frame in an event handler. SaveState/LoadState carry the
  // in-progress state across an event handler and a saved game; Abort leaves it on a reset.
  virtual void Start(TCallMan& /*cm*/) {}
  virtual void Execute(TCallMan& cm);  // defined with the interpreter
  virtual bool BlocksEvents() const { return false; }
  virtual bool Yields() const { return false; }
  virtual void SaveState(BinaryWriter& /*w*/) const {}
  virtual void LoadState(BinaryReader& /*r*/) {}
  virtual void Abort() {}

  // The record after the common header, field by field in stored order.
  virtual void Transfer(RecordIO& io) = 0;

  // Header + record; `set` is the page's property set of this command's code.
  void LoadFromStream(BinaryReader& r, int version, const PropertySet& set);
  void SaveToStream(BinaryWriter& w, int version, const PropertySet& set) const;

  TComList* Owner() const { return owner_; }
  void SetOwner(TComList* owner) { owner_ = owner; }

  // Common header fields, as stored.
  int32_t indent = 0;      // block depth, 0 at top level
  int32_t line = 0;        // source line, for the script log
  bool highBit = false;    // bit 7 of the code byte: authoring-side, ignored by the player
  bool StoredContinue() const { return continue_; }
  bool StoredDisabled() const { return disabled_; }
  void SetStoredContinue(bool value) { continue_ = value; }

 private:
  TComList* owner_ = nullptr;
  bool disabled_ = false;
  bool continue_ = false;
};

// The commands of one page, owned, in page order.
class TComList {
 public:
  explicit TComList(TPage* page = nullptr) : page_(page) {}

  int Count() const { return static_cast<int>(items_.size()); }
  TCommand& operator[](int i) const { return *items_[static_cast<size_t>(i)]; }
  TCommand* At(int i) const {
    return i >= 0 && i < Count() ? items_[static_cast<size_t>(i)].get() : nullptr;
  }
  void Add(std::unique_ptr<TCommand> command);
  void Clear() { items_.clear(); }
  // Index of the first command that is the label `name` (case-sensitive), or -1.
  int FindLabel(const std::string& name) const;
  TPage* Page() const { return page_; }

 private:
  TPage* page_;
  std::vector<std::unique_ptr<TCommand>> items_;
};

}  // namespace vorn
