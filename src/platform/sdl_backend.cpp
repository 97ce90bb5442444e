// The SDL2 backend: the main window (toolbar dock above the game screen, which is scaled to
// the window keeping its proportions), full-screen switching, input translated to the
// engine's events, message boxes and the sound device.
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/backend.h"
#include "platform/native.h"
#include "platform/sdl_keys.h"
#include "resources/cp932.h"
#include "platform/toolbar.h"
#include "resources/error.h"

namespace vorn {

namespace {

struct TextureDeleter {
  void operator()(SDL_Texture* t) const { SDL_DestroyTexture(t); }
};
using TexturePtr = std::unique_ptr<SDL_Texture, TextureDeleter>;

class SdlDisplay final : public Display {
 public:
  explicit SdlDisplay(FontSource* fonts) : toolbar_(fonts) {}
  ~SdlDisplay() override {
    gameTexture_.reset();
    toolbarTexture_.reset();
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
  }

  SDL_Window* Window() const { return window_; }

  void Open(const std::string& caption, int clientWidth, int clientHeight) override {
    window_ = SDL_CreateWindow(Cp932ToUtf8(caption).c_str(), SDL_WINDOWPOS_CENTERED,
                               SDL_WINDOWPOS_CENTERED, std::max(clientWidth, 1),
                               std::max(clientHeight, 1), SDL_WINDOW_HIDDEN);
    if (!window_) throw EVornError(std::string("cannot create the window: ") + SDL_GetError());
    renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer_) throw EVornError(std::string("cannot draw in the window: ") + SDL_GetError());
    layout_.clientWidth = clientWidth;
    layout_.clientHeight = clientHeight;
  }

  void ApplyLayout(const WindowLayout& layout) override {
    layout_ = layout;
    if (presented_.Width() != layout.screenWidth || presented_.Height() != layout.screenHeight) {
      presented_.Resize(layout.screenWidth, layout.screenHeight);
      gameTexture_.reset();
    }
    if (!window_) return;
    if (!fullScreen_) {
      SDL_SetWindowSize(window_, std::max(layout.clientWidth, 1), std::max(layout.clientHeight, 1));
      int x, y, w, h;
      WorkArea(x, y, w, h);
      const Point corner = CentreInArea(x, y, w, h, layout.clientWidth, layout.clientHeight);
      SDL_SetWindowPosition(window_, corner.x, corner.y);
    }
    Redraw();
  }

  void Show() override {
    if (!window_) return;
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
    Redraw();
  }

  void SetCaption(const std::string& caption) override {
    if (window_) SDL_SetWindowTitle(window_, Cp932ToUtf8(caption).c_str());
  }

  void Present(const FrameBuffer& screen) override {
    presented_ = screen;
    Redraw();
  }
  const FrameBuffer& Presented() const override { return presented_; }

  void WaitForEvent(uint32_t ms) override {
    SDL_WaitEventTimeout(nullptr, static_cast<int>(std::min<uint32_t>(ms, 1000)));
  }

  void PumpEvents(uint32_t, InputSink& sink) override {
    SDL_Event e;
    while (SDL_PollEvent(&e)) Dispatch(e, sink);
  }

  bool SetFullScreen(bool full) override {
    if (!window_) return false;
    if (full == fullScreen_) return true;
    if (SDL_SetWindowFullscreen(window_, full ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return false;
    fullScreen_ = full;
    toolbarShown_ = false;
    Redraw();
    return true;
  }
  bool IsFullScreen() const override { return fullScreen_; }

  void WorkArea(int& x, int& y, int& width, int& height) const override {
    SDL_Rect r{0, 0, 640, 480};
    const int index = window_ ? std::max(SDL_GetWindowDisplayIndex(window_), 0) : 0;
    if (SDL_GetDisplayUsableBounds(index, &r) != 0) SDL_GetDisplayBounds(index, &r);
    x = r.x;
    y = r.y;
    width = r.w;
    height = r.h;
  }

  void WarpPointer(int x, int y) override {
    if (!window_ || layout_.screenWidth <= 0 || layout_.screenHeight <= 0) return;
    const SDL_Rect dest = GameRect();
    SDL_WarpMouseInWindow(window_, dest.x + x * dest.w / layout_.screenWidth,
                          dest.y + y * dest.h / layout_.screenHeight);
  }

 private:
  // Whether the dock is on screen: always when windowed with a visible dock; in full screen
  // only while the pointer has brought it down.
  bool DockShown() const { return fullScreen_ ? toolbarShown_ : layout_.dockVisible; }

  // The game screen's rectangle in window coordinates.
  SDL_Rect GameRect() const {
    int ww = 1, wh = 1;
    if (window_) SDL_GetWindowSize(window_, &ww, &wh);
    const int top = (!fullScreen_ && layout_.dockVisible) ? kDockHeight : 0;
    const int areaW = ww, areaH = std::max(wh - top, 1);
    const int sw = std::max(layout_.screenWidth, 1), sh = std::max(layout_.screenHeight, 1);
    if (!fullScreen_ && ww == layout_.clientWidth && wh == layout_.clientHeight)
      return {layout_.panelX, layout_.panelY, sw, sh};
    // Scale to fit, keeping the proportions, centred in the area.
    int w = areaW, h = static_cast<int>(static_cast<int64_t>(areaW) * sh / sw);
    if (h > areaH) {
      h = areaH;
      w = static_cast<int>(static_cast<int64_t>(areaH) * sw / sh);
    }
    return {(areaW - w) / 2, top + (areaH - h) / 2, std::max(w, 1), std::max(h, 1)};
  }

  void ToGame(int wx, int wy, int& gx, int& gy) const {
    const SDL_Rect dest = GameRect();
    gx = static_cast<int>(std::floor(static_cast<double>(wx - dest.x) * layout_.screenWidth / dest.w));
    gy = static_cast<int>(std::floor(static_cast<double>(wy - dest.y) * layout_.screenHeight / dest.h));
  }

  void Dispatch(const SDL_Event& e, InputSink& sink) {
    InputEvent out;
    switch (e.type) {
      case SDL_QUIT:
        out.kind = InputKind::Quit;
        sink.HandleInput(out);
        break;
      case SDL_WINDOWEVENT:
        switch (e.window.event) {
          case SDL_WINDOWEVENT_FOCUS_GAINED:
            out.kind = InputKind::Activate;
            sink.HandleInput(out);
            break;
          case SDL_WINDOWEVENT_FOCUS_LOST:
            out.kind = InputKind::Deactivate;
            sink.HandleInput(out);
            break;
          case SDL_WINDOWEVENT_CLOSE:
            out.kind = InputKind::Quit;
            sink.HandleInput(out);
            break;
          case SDL_WINDOWEVENT_LEAVE:
            SetHover(ToolbarButton::None);
            break;
          default:
            Redraw();
            break;
        }
        break;
      case SDL_MOUSEMOTION: {
        const int x = e.motion.x, y = e.motion.y;
        if (fullScreen_) {
          // The top row brings the toolbar down; leaving its strip sends it away again.
          if (y == 0 && !toolbarShown_) {
            toolbarShown_ = true;
            Redraw();
          } else if (y >= kDockHeight && toolbarShown_) {
            toolbarShown_ = false;
            SetHover(ToolbarButton::None);
            Redraw();
          }
        }
        if (DockShown() && y < kDockHeight) {
          SetHover(Toolbar::HitTest(x, y));
          break;
        }
        SetHover(ToolbarButton::None);
        out.kind = InputKind::MouseMove;
        ToGame(x, y, out.x, out.y);
        sink.HandleInput(out);
        break;
      }
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        const bool down = e.type == SDL_MOUSEBUTTONDOWN;
        const int x = e.button.x, y = e.button.y;
        if (DockShown() && y < kDockHeight) {
          const ToolbarButton hit = Toolbar::HitTest(x, y);
          if (down) {
            pressed_ = hit;
          } else {
            const ToolbarButton was = pressed_;
            pressed_ = ToolbarButton::None;
            if (hit != ToolbarButton::None && hit == was) {
              out.kind = hit == ToolbarButton::Quit ? InputKind::ToolbarQuit
                                                    : InputKind::ToolbarScreenSwitch;
              Redraw();
              sink.HandleInput(out);
              break;
            }
          }
          Redraw();
          if (down) break;
        }
        if (!down) pressed_ = ToolbarButton::None;
        if (e.button.button == SDL_BUTTON_LEFT) out.button = MouseButton::Left;
        else if (e.button.button == SDL_BUTTON_RIGHT) out.button = MouseButton::Right;
        else if (e.button.button == SDL_BUTTON_MIDDLE) out.button = MouseButton::Middle;
        else break;
        out.kind = down ? InputKind::MouseDown : InputKind::MouseUp;
        ToGame(x, y, out.x, out.y);
        sink.HandleInput(out);
        break;
      }
      case SDL_MOUSEWHEEL: {
        int dy = e.wheel.y;
        if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) dy = -dy;
        if (dy == 0) break;
        out.kind = InputKind::Wheel;
        out.wheelUp = dy > 0;
        sink.HandleInput(out);
        break;
      }
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        const std::optional<uint32_t> vk = TranslateKeyEvent(e.key);
        if (!vk) break;
        out.kind = e.type == SDL_KEYDOWN ? InputKind::KeyDown : InputKind::KeyUp;
        out.vk = *vk;
        sink.HandleInput(out);
        break;
      }
      case SDL_TEXTINPUT:
        out.kind = InputKind::Text;
        out.text = e.text.text;
        sink.HandleInput(out);
        break;
      default:
        break;
    }
  }

  void SetHover(ToolbarButton hover) {
    if (hover == hover_) return;
    hover_ = hover;
    Redraw();
  }

  void Redraw() {
    if (!renderer_) return;
    int ww = 1, wh = 1, ow = 1, oh = 1;
    SDL_GetWindowSize(window_, &ww, &wh);
    SDL_GetRendererOutputSize(renderer_, &ow, &oh);
    SDL_RenderSetScale(renderer_, static_cast<float>(ow) / ww, static_cast<float>(oh) / wh);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    if (presented_.Width() > 0 && presented_.Height() > 0) {
      if (!gameTexture_)
        gameTexture_.reset(SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888,
                                             SDL_TEXTUREACCESS_STREAMING, presented_.Width(),
                                             presented_.Height()));
      if (gameTexture_) {
        SDL_UpdateTexture(gameTexture_.get(), nullptr, presented_.Pixels().data(),
                          presented_.Width() * 4);
        const SDL_Rect dest = GameRect();
        SDL_RenderCopy(renderer_, gameTexture_.get(), nullptr, &dest);
      }
    }
    if (DockShown()) {
      toolbar_.Render(toolbarPixels_, ww, hover_, pressed_);
      if (toolbarTextureWidth_ != ww) {
        toolbarTexture_.reset(SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888,
                                                SDL_TEXTUREACCESS_STREAMING, ww, kDockHeight));
        toolbarTextureWidth_ = ww;
      }
      if (toolbarTexture_) {
        SDL_UpdateTexture(toolbarTexture_.get(), nullptr, toolbarPixels_.Pixels().data(), ww * 4);
        const SDL_Rect dest{0, 0, ww, kDockHeight};
        SDL_RenderCopy(renderer_, toolbarTexture_.get(), nullptr, &dest);
      }
    }
    SDL_RenderPresent(renderer_);
  }

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  TexturePtr gameTexture_;
  TexturePtr toolbarTexture_;
  int toolbarTextureWidth_ = 0;
  Toolbar toolbar_;
  FrameBuffer toolbarPixels_;
  FrameBuffer presented_;
  WindowLayout layout_;
  bool fullScreen_ = false;
  bool toolbarShown_ = false;
  ToolbarButton hover_ = ToolbarButton::None;
  ToolbarButton pressed_ = ToolbarButton::None;
};

class SdlDialogs final : public Dialogs {
 public:
  explicit SdlDialogs(const SdlDisplay* display) : display_(display) {}

  DialogAnswer Show(const std::string& text, const std::string& caption, DialogIcon icon,
                    DialogButtons buttons) override {
    const bool japanese = UserLanguageIsJapanese();
    struct Choice {
      DialogAnswer answer;
      const char* english;
      const char* japanese;
    };
    static constexpr Choice kOk{DialogAnswer::Ok, "OK", "OK"};
    static constexpr Choice kCancel{DialogAnswer::Cancel, "Cancel", "\xE3\x82\xAD\xE3\x83\xA3\xE3\x83\xB3\xE3\x82\xBB\xE3\x83\xAB"};
    static constexpr Choice kYes{DialogAnswer::Yes, "Yes", "\xE3\x81\xAF\xE3\x81\x84"};
    static constexpr Choice kNo{DialogAnswer::No, "No", "\xE3\x81\x84\xE3\x81\x84\xE3\x81\x88"};
    std::vector<Choice> choices;
    switch (buttons) {
      case DialogButtons::Ok: choices = {kOk}; break;
      case DialogButtons::OkCancel: choices = {kOk, kCancel}; break;
      case DialogButtons::YesNo: choices = {kYes, kNo}; break;
      case DialogButtons::YesNoCancel: choices = {kYes, kNo, kCancel}; break;
    }
    std::vector<SDL_MessageBoxButtonData> data;
    for (size_t i = 0; i < choices.size(); ++i) {
      Uint32 flags = 0;
      if (i == 0) flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
      if (i + 1 == choices.size()) flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
      data.push_back({flags, static_cast<int>(i), japanese ? choices[i].japanese : choices[i].english});
    }
    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    if (icon == DialogIcon::Warning) flags = SDL_MESSAGEBOX_WARNING;
    if (icon == DialogIcon::Error) flags = SDL_MESSAGEBOX_ERROR;
    const std::string textUtf8 = Cp932ToUtf8(text), captionUtf8 = Cp932ToUtf8(caption);
    SDL_MessageBoxData box{flags, display_->Window(), captionUtf8.c_str(), textUtf8.c_str(),
                           static_cast<int>(data.size()), data.data(), nullptr};
    int chosen = -1;
    if (SDL_ShowMessageBox(&box, &chosen) != 0) {
      // No way to ask: say it on standard error and take the first button.
      std::fprintf(stderr, "dialog: %s\n", textUtf8.c_str());
      return choices.front().answer;
    }
    if (chosen < 0 || chosen >= static_cast<int>(choices.size()))
      return buttons == DialogButtons::YesNo ? DialogAnswer::No
             : buttons == DialogButtons::Ok  ? DialogAnswer::Ok
                                             : DialogAnswer::Cancel;
    return choices[chosen].answer;
  }

 private:
  const SdlDisplay* display_;
};

class SdlAudioDevice final : public AudioDevice {
 public:
  ~SdlAudioDevice() override { Close(); }

  bool Open(const AudioFormat& format) override {
    Close();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    subsystem_ = true;
    SDL_AudioSpec want{};
    want.freq = format.sampleRate;
    want.format = format.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16SYS;
    want.channels = static_cast<Uint8>(format.channels);
    want.samples = 1024;
    want.callback = &SdlAudioDevice::Callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the hardware takes.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) {
      Close();
      return false;
    }
    format_ = format;
    return true;
  }
  bool IsOpen() const override { return device_ != 0; }
  AudioFormat Format() const override { return format_; }

  void SetFill(FillCallback fill) override {
    if (device_) SDL_LockAudioDevice(device_);
    fill_ = std::move(fill);
    if (device_) SDL_UnlockAudioDevice(device_);
  }
  void Pause(bool paused) override {
    if (device_) SDL_PauseAudioDevice(device_, paused ? 1 : 0);
  }
  void Close() override {
    if (device_) SDL_CloseAudioDevice(device_);
    device_ = 0;
    if (subsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    subsystem_ = false;
  }

 private:
  static void Callback(void* self, Uint8* stream, int length) {
    auto* device = static_cast<SdlAudioDevice*>(self);
    if (device->fill_)
      device->fill_(stream, static_cast<size_t>(length));
    else
      std::memset(stream, device->format_.bitsPerSample == 8 ? 0x80 : 0, static_cast<size_t>(length));
  }

  SDL_AudioDeviceID device_ = 0;
  bool subsystem_ = false;
  AudioFormat format_;
  FillCallback fill_;
};

}  // namespace

std::unique_ptr<Platform> CreateSdlPlatform(const BackendOptions&, std::string& whyNot) {
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    whyNot = std::string("no display available (") + SDL_GetError() + ")";
    SDL_Quit();
    return nullptr;
  }
  // SDL falls back to drivers that draw nowhere; a window nobody can see is no window, unless
  // the user asked for that driver by name.
  const char* driver = SDL_GetCurrentVideoDriver();
  const char* wanted = SDL_getenv("SDL_VIDEODRIVER");
  if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) &&
      !(wanted && SDL_strcasecmp(wanted, driver) == 0)) {
    whyNot = "no display available (neither DISPLAY nor WAYLAND_DISPLAY names a usable display)";
    SDL_Quit();
    return nullptr;
  }
  auto platform = std::make_unique<Platform>();
  platform->lifetime = std::shared_ptr<void>(nullptr, [](void*) { SDL_Quit(); });
  platform->backendName = "sdl";
  try {
    platform->fonts = CreateFontSource();
  } catch (const EVornError& e) {
    whyNot = e.what();
    return nullptr;
  }
  platform->clock = CreateSystemClock();
  auto display = std::make_unique<SdlDisplay>(platform->fonts.get());
  platform->dialogs = std::make_unique<SdlDialogs>(display.get());
  platform->display = std::move(display);
  platform->audio = std::make_unique<SdlAudioDevice>();
  return platform;
}

}  // namespace vorn
