// Shared rule for fitting a scripted or fallback answer to a box's buttons.
#include "platform/dialogs.h"

namespace vorn {

DialogAnswer FitAnswer(DialogAnswer wanted, DialogButtons buttons) {
  const bool positive = wanted == DialogAnswer::Ok || wanted == DialogAnswer::Yes;
  switch (buttons) {
    case DialogButtons::Ok:
      return DialogAnswer::Ok;
    case DialogButtons::OkCancel:
      return positive ? DialogAnswer::Ok : DialogAnswer::Cancel;
    case DialogButtons::YesNo:
      return positive ? DialogAnswer::Yes : DialogAnswer::No;
    case DialogButtons::YesNoCancel:
      if (wanted == DialogAnswer::Cancel) return DialogAnswer::Cancel;
      return positive ? DialogAnswer::Yes : DialogAnswer::No;
  }
  return DialogAnswer::Ok;
}

}  // namespace vorn
