// Component-creating command records: one expression per property that the page's property
// set lists for the code, plus the screen flip and the cabinet commands.
#pragma once

#include "script/command.h"

namespace vorn {

class TComComponent : public TCommand {
 public:
  void Transfer(RecordIO& io) override { io.Properties(props); }
  // The expression of a property, or nullptr when the page's set has no slot for it.
  Expression* Prop(int id) const {
    return id >= 0 && id < kPropertyCount ? props[static_cast<size_t>(id)].get() : nullptr;
  }
  PropertySlots props;
};

// Component commands of a visual kind.
class TComControl : public TComComponent {};

template <int Code, class Base = TComControl>
class TComKind : public Base {
 public:
  int Kind() const override { return Code; }
};

class TComBoxNew : public TComKind<kComBoxNew> {};
class TComImgNew : public TComKind<kComImgNew> {};
class TComMesNew : public TComKind<kComMesNew> {};
class TComTimer : public TComKind<kComTimer, TComComponent> {};
class TComMovie : public TComKind<kComMovie> {};
class TComCinema : public TComKind<kComCinema> {};
class TComCaption : public TComKind<kComCaption> {};
class TComMenu : public TComKind<kComMenu> {};
class TComBtnNew : public TComKind<kComButton> {};
class TComParticleNew : public TComKind<kComParticleNew> {};
class TComFireNew : public TComKind<kComFireNew> {};
class TComSound : public TComKind<kComSound, TComComponent> {};
class TComEditNew : public TComKind<kComEditNew> {};
class TComMemoNew : public TComKind<kComMemoNew> {};
class TComMapImgNew : public TComKind<kComMapImgNew> {};
class TComWaveNew : public TComKind<kComWaveNew> {};
class TComTileNew : public TComKind<kComTileNew> {};
class TComSliderNew : public TComKind<kComSliderNew> {};
class TComScrollbarNew : public TComKind<kComScrollbarNew> {};
class TComGaugeNew : public TComKind<kComGaugeNew> {};
class TComCGCaption : public TComKind<kComCGCaption> {};
class TComPrevMenuNew : public TComKind<kComPrevMenuNew> {};

// SaveCabinet / LoadCabinet: the properties (only PR_NAME is used), a mode and m names.
class TComCabinet : public TComComponent {
 public:
  void Transfer(RecordIO& io) override {
    TComComponent::Transfer(io);
    io.Expr(mode, "mode");
    io.ExprList(names, "names");
  }
  Expression mode;
  std::vector<Expression> names;
};

class TComCabinetSave : public TComKind<kComSaveCabinet, TComCabinet> {};
class TComCabinetLoad : public TComKind<kComLoadCabinet, TComCabinet> {};

class TComFlip : public TCommand {
 public:
  int Kind() const override { return kComFlip; }
  void Transfer(RecordIO& io) override {
    io.Expr(kind, "kind");
    io.Expr(duration, "duration");
    io.Expr(reverse, "reverse");
    io.Expr(mode, "mode");
    io.ExprList(names, "names");
    io.Expr(clearAfter, "clear");
    io.Expr(param0, "param0");
    io.Expr(param1, "param1");
    if (io.Version() > 100) io.Expr(rule, "rule");
    if (io.Version() > 106) io.Expr(noEvents, "noevents");
  }
  Expression kind;        // transition kind 0..38
  Expression duration;    // ms
  Expression reverse;
  Expression mode;        // which children move to the other base
  std::vector<Expression> names;  // name lists, one name a line
  Expression clearAfter;
  Expression param0, param1;
  Expression rule;        // rule image name
  Expression noEvents;
};

}  // namespace vorn
