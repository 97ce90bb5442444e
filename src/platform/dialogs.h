// Modal message boxes. Texts arrive as engine text (CP932); the backend converts.
#pragma once

#include <string>

namespace vorn {

enum class DialogIcon { Information, Warning, Error, Question };
enum class DialogButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class DialogAnswer { Ok, Cancel, Yes, No };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Shows a modal box and returns the button chosen; always one of the given buttons
  // (closing the box counts as Cancel, or No when there is no Cancel). Main thread only.
  virtual DialogAnswer Show(const std::string& textCp932, const std::string& captionCp932,
                            DialogIcon icon, DialogButtons buttons) = 0;
};

// Maps a wanted answer onto the buttons a box has: yes and ok count as the same choice,
// no and cancel too; a box without the wanted choice answers with its first button.
DialogAnswer FitAnswer(DialogAnswer wanted, DialogButtons buttons);

}  // namespace vorn
