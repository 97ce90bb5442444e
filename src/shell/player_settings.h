// The player's own settings from game.ini beside the executable: [Sound] DirectSound and
// DelayTime, [Video] UseWMP, and [Debug] ScriptTrace (write dbglog.txt). The settings dialog
// writes the same keys back.
#pragma once

#include <string>

#include "shell/ini_file.h"

namespace vorn {

struct PlayerSettings {
  bool DirectSound = true;   // open the sound device
  int DelayTime = 500;       // wave mixer latency, ms: one of 100..500 in steps of 100
  bool UseWMP = false;       // video through the Windows Media path
  bool ScriptTrace = false;  // write the script trace to dbglog.txt beside the executable
};

// min(max((v div 100) * 100, 100), 500), div truncating toward zero.
int NormaliseDelayTime(int value);

// Missing keys keep their defaults; a DelayTime that is not a number counts as missing.
PlayerSettings ReadPlayerSettings(const IniFile& ini);
// Writes the keys the settings dialog owns, keeping everything else in the file.
void WritePlayerSettings(IniFile& ini, const PlayerSettings& settings);

// game.ini in the executable's folder.
std::string GameIniPath();

}  // namespace vorn
