// game.ini: the settings and their defaults, DelayTime normalisation, the INI reader's errors
// and a writer that keeps what it does not own.
#include <gtest/gtest.h>

#include "resources/error.h"
#include "shell/ini_file.h"
#include "shell/player_settings.h"
#include "support/player_process.h"

namespace vorn {
namespace {

TEST(PlayerSettings, DelayTimeIsNormalisedToHundredsWithin100To500) {
  const struct {
    const char* text;
    int expected;
  } cases[] = {{"50", 100}, {"250", 200}, {"999", 500}, {"junk", 500}, {"100", 100},
               {"499", 400}, {"500", 500}, {"0", 100},  {"-250", 100}, {"", 500},
               {"2147483647", 500}, {"99999999999", 500}, {" 300 ", 300}, {"$12C", 300}};
  for (const auto& c : cases) {
    const IniFile ini = IniFile::Parse(std::string("[Sound]\nDelayTime=") + c.text + "\n", "game.ini");
    EXPECT_EQ(ReadPlayerSettings(ini).DelayTime, c.expected) << "DelayTime=" << c.text;
  }
}

TEST(PlayerSettings, MissingFileOrKeysGiveTheDefaults) {
  const PlayerSettings s = ReadPlayerSettings(IniFile::Parse("", "game.ini"));
  EXPECT_TRUE(s.DirectSound);
  EXPECT_EQ(s.DelayTime, 500);
  EXPECT_FALSE(s.UseWMP);
  EXPECT_FALSE(s.ScriptTrace);

  test::TempFolder folder;
  const PlayerSettings fromMissing = ReadPlayerSettings(IniFile::Load(folder.File("game.ini")));
  EXPECT_EQ(fromMissing.DelayTime, 500);
}

TEST(PlayerSettings, ReadsEveryKeyCaseInsensitively) {
  const IniFile ini = IniFile::Parse(
      "; written by the settings dialog\r\n[sound]\r\ndirectsound=0\r\nDELAYTIME=300\r\n"
      "[Video]\r\nUseWMP=1\r\n[Debug]\r\nScriptTrace=yes\r\n",
      "game.ini");
  const PlayerSettings s = ReadPlayerSettings(ini);
  EXPECT_FALSE(s.DirectSound);
  EXPECT_EQ(s.DelayTime, 300);
  EXPECT_TRUE(s.UseWMP);
  EXPECT_TRUE(s.ScriptTrace);
}

TEST(IniFile, MalformedLinesAreReportedWithTheirNumber) {
  const struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"[Sound]\nDelayTime 300\n", "game.ini line 2: expected [Section] or Key=Value"},
      {"\n\n[Sound\n", "game.ini line 3: section header without a closing ']'"},
      {"[]\n", "game.ini line 1: empty section name"},
      {"[Sound]\n=5\n", "game.ini line 2: an entry without a key name"},
  };
  for (const auto& c : cases) {
    try {
      IniFile::Parse(c.text, "game.ini");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const EVornError& e) {
      EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << e.what();
    }
  }
}

TEST(IniFile, UnreadableFileIsAnError) {
  test::TempFolder folder;
  // A folder where the file should be cannot be read as one.
  EXPECT_THROW(IniFile::Load(folder.Path()), EVornError);
}

TEST(IniFile, WritingKeepsUnknownSectionsKeysAndComments) {
  const std::string original =
      "; player settings\r\n[Sound]\r\nDirectSound=1\r\nDelayTime=500\r\nVendorKey=abc\r\n\r\n"
      "[Custom]\r\nName=\x83\x65\x83\x58\x83\x67\r\n";
  IniFile ini = IniFile::Parse(original, "game.ini");
  PlayerSettings s;
  s.DirectSound = false;
  s.DelayTime = 250;
  s.UseWMP = true;
  WritePlayerSettings(ini, s);
  EXPECT_EQ(ini.Serialize(),
            "; player settings\r\n[Sound]\r\nDirectSound=0\r\nDelayTime=200\r\nVendorKey=abc\r\n\r\n"
            "[Custom]\r\nName=\x83\x65\x83\x58\x83\x67\r\n[Video]\r\nUseWMP=1\r\n");

  // Saved and loaded again, the same settings come back.
  test::TempFolder folder;
  ini.Save(folder.File("game.ini"));
  const PlayerSettings back = ReadPlayerSettings(IniFile::Load(folder.File("game.ini")));
  EXPECT_FALSE(back.DirectSound);
  EXPECT_EQ(back.DelayTime, 200);
  EXPECT_TRUE(back.UseWMP);
}

TEST(IniFile, NewKeysGoBeforeTheBlankLinesEndingTheirSection) {
  IniFile ini = IniFile::Parse("[Sound]\nDelayTime=100\n\n[Other]\nA=1\n", "x");
  ini.Write("Sound", "DirectSound", "1");
  EXPECT_EQ(ini.Serialize(), "[Sound]\nDelayTime=100\nDirectSound=1\n\n[Other]\nA=1\n");
}

TEST(IniFile, IntegerForms) {
  EXPECT_EQ(ParseIniInteger("-12"), -12);
  EXPECT_EQ(ParseIniInteger("0x1F"), 31);
  EXPECT_EQ(ParseIniInteger("$FFFFFFFF"), -1);
  EXPECT_EQ(ParseIniInteger("2147483648"), std::nullopt);
  EXPECT_EQ(ParseIniInteger("12abc"), std::nullopt);
  EXPECT_EQ(ParseIniInteger("-"), std::nullopt);
}

}  // namespace
}  // namespace vorn
