// The headless backend: a frame buffer instead of a window, scripted input keyed by frame,
// scripted dialog answers echoed to standard error, no sound device, a fixed-step clock.
// SIGINT and SIGTERM are blocked and polled so an interrupted run still shuts down normally.
#include <signal.h>

#include <cstdio>
#include <utility>

#include "platform/backend.h"
#include "resources/cp932.h"
#include "resources/error.h"

namespace vorn {

namespace {

class HeadlessDisplay final : public Display {
 public:
  explicit HeadlessDisplay(std::vector<ScriptedInput> input) : input_(std::move(input)) {
    sigemptyset(&stopSignals_);
    sigaddset(&stopSignals_, SIGINT);
    sigaddset(&stopSignals_, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals_, &previousMask_);
  }
  ~HeadlessDisplay() override { pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr); }

  void Open(const std::string&, int, int) override {}
  void ApplyLayout(const WindowLayout& layout) override {
    layout_ = layout;
    if (presented_.Width() != layout.screenWidth || presented_.Height() != layout.screenHeight)
      presented_.Resize(layout.screenWidth, layout.screenHeight);
  }
  void Show() override {}
  void SetCaption(const std::string&) override {}

  void Present(const FrameBuffer& screen) override { presented_ = screen; }
  const FrameBuffer& Presented() const override { return presented_; }

  void PumpEvents(uint32_t upcomingFrame, InputSink& sink) override {
    timespec zero{};
    if (sigtimedwait(&stopSignals_, nullptr, &zero) > 0) {
      InputEvent quit;
      quit.kind = InputKind::Quit;
      sink.HandleInput(quit);
    }
    while (next_ < input_.size() && input_[next_].frame <= upcomingFrame)
      sink.HandleInput(input_[next_++].event);
  }

  bool SetFullScreen(bool full) override {
    fullScreen_ = full;
    return true;
  }
  bool IsFullScreen() const override { return fullScreen_; }
  void WorkArea(int& x, int& y, int& width, int& height) const override {
    x = 0;
    y = 0;
    width = 1920;
    height = 1080;
  }

 private:
  std::vector<ScriptedInput> input_;
  size_t next_ = 0;
  WindowLayout layout_;
  FrameBuffer presented_;
  bool fullScreen_ = false;
  sigset_t stopSignals_;
  sigset_t previousMask_;
};

class HeadlessDialogs final : public Dialogs {
 public:
  explicit HeadlessDialogs(std::optional<DialogAnswer> answer) : answer_(answer) {}
  DialogAnswer Show(const std::string& text, const std::string&, DialogIcon,
                    DialogButtons buttons) override {
    std::fprintf(stderr, "dialog: %s\n", Cp932ToUtf8(text).c_str());
    std::fflush(stderr);
    // Without --answer every box takes its first button (OK or Yes).
    return FitAnswer(answer_.value_or(DialogAnswer::Ok), buttons);
  }

 private:
  std::optional<DialogAnswer> answer_;
};

// No sound device: the player runs silent, as it does when a device fails to open.
class NoAudioDevice final : public AudioDevice {
 public:
  bool Open(const AudioFormat&) override { return false; }
  bool IsOpen() const override { return false; }
  AudioFormat Format() const override { return {}; }
  void SetFill(FillCallback) override {}
  void Pause(bool) override {}
  void Close() override {}
};

}  // namespace

std::unique_ptr<Platform> CreateHeadlessPlatform(const BackendOptions& options, std::string& whyNot) {
  auto platform = std::make_unique<Platform>();
  platform->backendName = "headless";
  platform->clock = std::make_unique<FixedStepClock>();
  platform->display = std::make_unique<HeadlessDisplay>(options.input);
  platform->audio = std::make_unique<NoAudioDevice>();
  platform->dialogs = std::make_unique<HeadlessDialogs>(options.answer);
  try {
    platform->fonts = CreateFontSource();
  } catch (const EVornError& e) {
    whyNot = e.what();
    return nullptr;
  }
  return platform;
}

}  // namespace vorn
