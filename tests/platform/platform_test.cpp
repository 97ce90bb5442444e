// Platform services: the key table, the lock, atomic writes, dialog answers, the PNG writer
// and the toolbar.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <set>

#include "platform/dialogs.h"
#include "platform/display.h"
#include "platform/font_source.h"
#include "platform/frame_buffer.h"
#include "platform/native.h"
#include "platform/sdl_keys.h"
#include "platform/toolbar.h"
#include "resources/error.h"
#include "support/player_process.h"

namespace vorn {
namespace {

TEST(SdlKeys, TableGivesTheWindowsVirtualKeys) {
  const struct {
    SDL_Scancode scancode;
    SDL_Keycode keycode;
    uint16_t mod;
    uint32_t vk;
  } cases[] = {
      {SDL_SCANCODE_A, SDLK_a, 0, 'A'},
      {SDL_SCANCODE_Q, SDLK_a, 0, 'A'},  // AZERTY: the letter follows the layout
      {SDL_SCANCODE_Z, SDLK_z, 0, 'Z'},
      {SDL_SCANCODE_0, SDLK_0, 0, '0'},
      {SDL_SCANCODE_9, SDLK_9, 0, '9'},
      {SDL_SCANCODE_RETURN, SDLK_RETURN, 0, 0x0D},
      {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, 0, 0x0D},
      {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, 0, 0x1B},
      {SDL_SCANCODE_SPACE, SDLK_SPACE, 0, 0x20},
      {SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, 0, 0x08},
      {SDL_SCANCODE_TAB, SDLK_TAB, 0, 0x09},
      {SDL_SCANCODE_LEFT, SDLK_LEFT, 0, 0x25},
      {SDL_SCANCODE_UP, SDLK_UP, 0, 0x26},
      {SDL_SCANCODE_RIGHT, SDLK_RIGHT, 0, 0x27},
      {SDL_SCANCODE_DOWN, SDLK_DOWN, 0, 0x28},
      {SDL_SCANCODE_PAGEUP, SDLK_PAGEUP, 0, 0x21},
      {SDL_SCANCODE_HOME, SDLK_HOME, 0, 0x24},
      {SDL_SCANCODE_DELETE, SDLK_DELETE, 0, 0x2E},
      {SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, 0, 0x10},
      {SDL_SCANCODE_RCTRL, SDLK_RCTRL, 0, 0x11},
      {SDL_SCANCODE_LALT, SDLK_LALT, 0, 0x12},
      {SDL_SCANCODE_F1, SDLK_F1, 0, 0x70},
      {SDL_SCANCODE_F12, SDLK_F12, 0, 0x7B},
      {SDL_SCANCODE_F24, SDLK_F24, 0, 0x87},
      {SDL_SCANCODE_KP_5, SDLK_KP_5, KMOD_NUM, 0x65},
      {SDL_SCANCODE_KP_8, SDLK_KP_8, 0, 0x26},  // Num Lock off: Up
      {SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, 0, 0x2E},
      {SDL_SCANCODE_KP_MULTIPLY, SDLK_KP_MULTIPLY, 0, 0x6A},
      {SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON, 0, 0xBA},
      {SDL_SCANCODE_MINUS, SDLK_MINUS, 0, 0xBD},
      {SDL_SCANCODE_SLASH, SDLK_SLASH, 0, 0xBF},
      {SDL_SCANCODE_GRAVE, SDLK_BACKQUOTE, 0, 0xC0},
      {SDL_SCANCODE_APOSTROPHE, SDLK_QUOTE, 0, 0xDE},
      {SDL_SCANCODE_INTERNATIONAL1, 0, 0, 0xE2},  // ろ
      {SDL_SCANCODE_INTERNATIONAL3, 0, 0, 0xDC},  // ￥
      {SDL_SCANCODE_INTERNATIONAL4, 0, 0, 0x1C},  // 変換
      {SDL_SCANCODE_INTERNATIONAL5, 0, 0, 0x1D},  // 無変換
      {SDL_SCANCODE_PAUSE, SDLK_PAUSE, 0, 0x13},
      {SDL_SCANCODE_CAPSLOCK, SDLK_CAPSLOCK, 0, 0x14},
      {SDL_SCANCODE_UNKNOWN, SDLK_UNKNOWN, 0, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SdlKeyToVk(c.scancode, c.keycode, c.mod), c.vk) << SDL_GetScancodeName(c.scancode);
}

TEST(SdlKeys, EveryCodeIsAByteAndEveryUsualKeyHasOne) {
  std::set<uint32_t> seen;
  for (int s = 0; s < SDL_NUM_SCANCODES; ++s) {
    const uint32_t vk = SdlKeyToVk(static_cast<SDL_Scancode>(s), SDLK_UNKNOWN, KMOD_NUM);
    EXPECT_LT(vk, 256u);
    if (vk) seen.insert(vk);
  }
  // Letters, digits, F1-F24 and the keypad digits are all reachable.
  for (uint32_t vk = 'A'; vk <= 'Z'; ++vk) EXPECT_TRUE(seen.count(vk)) << vk;
  for (uint32_t vk = '0'; vk <= '9'; ++vk) EXPECT_TRUE(seen.count(vk)) << vk;
  for (uint32_t vk = 0x70; vk <= 0x87; ++vk) EXPECT_TRUE(seen.count(vk)) << vk;
  for (uint32_t vk = 0x60; vk <= 0x6F; ++vk) EXPECT_TRUE(seen.count(vk)) << vk;
}

TEST(SdlKeys, AutoRepeatIsIgnored) {
  SDL_KeyboardEvent e{};
  e.type = SDL_KEYDOWN;
  e.keysym.scancode = SDL_SCANCODE_SPACE;
  e.keysym.sym = SDLK_SPACE;
  EXPECT_EQ(TranslateKeyEvent(e), 0x20u);
  e.repeat = 1;
  EXPECT_EQ(TranslateKeyEvent(e), std::nullopt);
}

TEST(Native, FileLockIsExclusiveAndReleasedWithItsOwner) {
  test::TempFolder folder;
  const std::string path = folder.File("x.lock");
  {
    std::unique_ptr<FileLock> first = FileLock::TryAcquire(path);
    ASSERT_TRUE(first);
    EXPECT_FALSE(FileLock::TryAcquire(path));
  }
  EXPECT_TRUE(FileLock::TryAcquire(path));
  EXPECT_THROW(FileLock::TryAcquire(folder.File("no/such/folder.lock")), EVornError);
}

TEST(Native, RuntimeFolderIsPrivateAndNeverTheGameFolder) {
  const std::string folder = RuntimeFolder();
  EXPECT_TRUE(IsDirectory(folder));
  EXPECT_FALSE(IsOnOpticalDisc(folder));
}

TEST(Native, AtomicWriteReplacesWholeOrNotAtAll) {
  test::TempFolder folder;
  const std::string path = folder.File("a.txt");
  WriteFileAtomic(path, "first", 5);
  WriteFileAtomic(path, "second!", 7);
  const auto data = ReadWholeFile(path);
  ASSERT_TRUE(data);
  EXPECT_EQ(std::string(data->begin(), data->end()), "second!");
  // Into a missing folder: an error naming the path, nothing left behind.
  EXPECT_THROW(WriteFileAtomic(folder.File("none/b.txt"), "x", 1), EVornError);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
  EXPECT_EQ(ReadWholeFile(folder.File("missing")), std::nullopt);
  EXPECT_THROW(ReadWholeFile(folder.Path()), EVornError);
  EXPECT_EQ(ReadFileTail(path, 2), "d!");
}

TEST(Dialogs, AnswersFitTheButtons) {
  EXPECT_EQ(FitAnswer(DialogAnswer::No, DialogButtons::Ok), DialogAnswer::Ok);
  EXPECT_EQ(FitAnswer(DialogAnswer::Ok, DialogButtons::YesNo), DialogAnswer::Yes);
  EXPECT_EQ(FitAnswer(DialogAnswer::Cancel, DialogButtons::YesNo), DialogAnswer::No);
  EXPECT_EQ(FitAnswer(DialogAnswer::No, DialogButtons::OkCancel), DialogAnswer::Cancel);
  EXPECT_EQ(FitAnswer(DialogAnswer::Cancel, DialogButtons::YesNoCancel), DialogAnswer::Cancel);
  EXPECT_EQ(FitAnswer(DialogAnswer::No, DialogButtons::YesNoCancel), DialogAnswer::No);
}

TEST(FrameBuffer, PngKeepsSizeAndColours) {
  test::TempFolder folder;
  FrameBuffer fb(3, 2, 0x000000);
  fb.SetPixel(0, 0, 0x00FF8040);
  fb.SetPixel(2, 1, 0x00123456);
  fb.WritePng(folder.File("s.png"));

  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, folder.File("s.png").c_str()));
  EXPECT_EQ(image.width, 3u);
  EXPECT_EQ(image.height, 2u);
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
  EXPECT_EQ((std::vector<uint8_t>(rgb.begin(), rgb.begin() + 3)), (std::vector<uint8_t>{0xFF, 0x80, 0x40}));
  EXPECT_EQ((std::vector<uint8_t>(rgb.end() - 3, rgb.end())), (std::vector<uint8_t>{0x12, 0x34, 0x56}));
  EXPECT_THROW(FrameBuffer().WritePng(folder.File("empty.png")), EVornError);
}

TEST(Toolbar, ButtonsHitAndLabelsAreDrawnWithTheJapaneseFont) {
  EXPECT_EQ(Toolbar::HitTest(5, 10), ToolbarButton::Quit);
  EXPECT_EQ(Toolbar::HitTest(70, 10), ToolbarButton::ScreenSwitch);
  EXPECT_EQ(Toolbar::HitTest(140, 10), ToolbarButton::None);
  EXPECT_EQ(Toolbar::HitTest(5, 0), ToolbarButton::None);

  std::unique_ptr<FontSource> fonts = CreateFontSource();
  const std::optional<std::string> file = fonts->Match(
      "\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF");
  ASSERT_TRUE(file);
  EXPECT_NE(file->find("ipag"), std::string::npos) << *file;

  Toolbar toolbar(fonts.get());
  FrameBuffer dock;
  toolbar.Render(dock, 200, ToolbarButton::None, ToolbarButton::None);
  EXPECT_EQ(dock.Width(), 200);
  EXPECT_EQ(dock.Height(), kDockHeight);
  // Dark label pixels inside each button.
  for (int button = 0; button < 2; ++button) {
    int dark = 0;
    for (int y = 2; y < 20; ++y)
      for (int x = button * 67 + 2; x < button * 67 + 65; ++x)
        if ((dock.Pixel(x, y) & 0xFF) < 0x60) ++dark;
    EXPECT_GT(dark, 10) << "button " << button;
  }
}

}  // namespace
}  // namespace vorn
