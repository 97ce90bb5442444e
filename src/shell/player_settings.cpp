// Reading and writing the player settings.
#include "shell/player_settings.h"

#include <algorithm>

#include "platform/native.h"

namespace vorn {

int NormaliseDelayTime(int value) { return std::min(std::max((value / 100) * 100, 100), 500); }

PlayerSettings ReadPlayerSettings(const IniFile& ini) {
  PlayerSettings s;
  s.DirectSound = ini.ReadBool("Sound", "DirectSound", s.DirectSound);
  s.DelayTime = NormaliseDelayTime(ini.ReadInteger("Sound", "DelayTime", s.DelayTime));
  s.UseWMP = ini.ReadBool("Video", "UseWMP", s.UseWMP);
  s.ScriptTrace = ini.ReadBool("Debug", "ScriptTrace", s.ScriptTrace);
  return s;
}

void WritePlayerSettings(IniFile& ini, const PlayerSettings& s) {
  ini.WriteBool("Sound", "DirectSound", s.DirectSound);
  ini.WriteInteger("Sound", "DelayTime", NormaliseDelayTime(s.DelayTime));
  ini.WriteBool("Video", "UseWMP", s.UseWMP);
}

std::string GameIniPath() { return JoinPath(ExecutableFolder(), "game.ini"); }

}  // namespace vorn
