// What one program run (one window, one command line) holds across files:
// the run settings, the two change switches of the window, and the way to
// reach the user. Passed explicitly so that tests and the CLI hold their own.
#pragma once

#include "base/UserPrompt.h"
#include "base/SpectrumRecord.h"

namespace vantor {

struct ConvertContext {
  explicit ConvertContext(UserPrompt& p) : prompt(p) {}

  UserPrompt& prompt;
  RunSettings settings;
  bool ChangeEGC = false;     // chkChangeEGC
  bool Change2Theta = false;  // chkChange2Theta
};

}  // namespace vantor
