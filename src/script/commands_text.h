// Message text, history and media command records: TextIns, TextClr, the history commands,
// ClrRead, MenuClose, MovieStop, MediaPlay, and the save requests GameSave and GameLoad.
#pragma once

#include "script/command.h"

namespace vorn {

class TComTextIns : public TCommand {
 public:
  int Kind() const override { return kComTextIns; }
  void Transfer(RecordIO& io) override {
    io.Block(text, "text");
    io.Expr(window, "window");
    io.Expr(readMode, "read");
    io.Expr(wait, "wait");
    if (io.Version() > 106) io.Expr(noEvents, "noevents");
  }
  std::vector<uint8_t> text;  // compiled message text (the glyph stream)
  Expression window, readMode, wait, noEvents;
};

class TComTextClr : public TCommand {
 public:
  int Kind() const override { return kComTextClr; }
  void Transfer(RecordIO& io) override { io.Expr(window, "window"); }
  Expression window;
};

class TComCallHist : public TCommand {
 public:
  int Kind() const override { return kComCallHist; }
  void Transfer(RecordIO& io) override {
    io.Expr(window, "window");
    io.Expr(first, "first");
    io.Expr(count, "count");
    io.Expr(option, "option");
    if (io.Version() > 110) io.Expr(format, "format");
  }
  Expression window, first, count, option, format;
};

class TComClrHist : public TCommand {
 public:
  int Kind() const override { return kComClrHist; }
  void Transfer(RecordIO&) override {}
};

class TComEntryHist : public TCommand {
 public:
  int Kind() const override { return kComFormatHist; }
  void Transfer(RecordIO& io) override {
    io.Expr(object, "object");
    if (io.Version() > 110) io.Expr(format, "format");
  }
  Expression object, format;
};

class TComClrRead : public TCommand {
 public:
  int Kind() const override { return kComClrRead; }
  void Transfer(RecordIO&) override {}
};

class TComMenuClose : public TCommand {
 public:
  int Kind() const override { return kComMenuClose; }
  void Transfer(RecordIO& io) override { io.Expr(object, "object"); }
  Expression object;
};

class TComMovieStop : public TCommand {
 public:
  int Kind() const override { return kComMovieStop; }
  void Transfer(RecordIO& io) override {
    io.Expr(object, "object");
    io.Expr(fade, "fade");
    io.Expr(wait, "wait");
    if (io.Version() > 106) io.Expr(noEvents, "noevents");
  }
  Expression object, fade, wait, noEvents;
};

class TComMediaPlay : public TCommand {
 public:
  int Kind() const override { return kComMediaPlay; }
  void Transfer(RecordIO& io) override { io.Expr(object, "object"); }
  Expression object;
};

class TComGameSave : public TCommand {
 public:
  int Kind() const override { return kComGameSave; }
  bool Continues() const override { return false; }
  void Transfer(RecordIO& io) override {
    io.Expr(slot, "slot");
    io.Str(page, "page");
    if (io.Version() > 104) io.Int(index, "index", FieldRole::Target);
    io.Expr(caption, "caption");
  }
  Expression slot;
  std::string page;   // page to run after loading
  int32_t index = 0;  // its command index (0 in pages of version 104 and older)
  Expression caption;
};

class TComGameLoad : public TCommand {
 public:
  int Kind() const override { return kComGameLoad; }
  bool Continues() const override { return false; }
  void Transfer(RecordIO& io) override { io.Expr(slot, "slot"); }
  Expression slot;
};

}  // namespace vorn
