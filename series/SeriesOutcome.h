// SPDX-License-Identifier: GPL-3.0-or-later
// What became of a run that writes one file from many (Combine, 3D Data),
// for the window, the command line and the Python module to put in their
// own words; the messages the window shows were given on the way.
#pragma once

#include <string>

#include "base/ReadResult.h"

namespace vantor {

struct SeriesOutcome {
  enum class State : unsigned char {
    Written,
    Declined,     // the user kept the existing file
    ReadFailed,   // `file` could not be read: `read` says why
    WriteFailed,  // the output could not be written: `why`
    Stopped,      // the run stopped before writing: `why` is what it said (or the user cancelled)
  };
  State state = State::Stopped;
  std::string file;
  ReadResult read;
  std::string why;

  explicit operator bool() const noexcept { return state == State::Written; }
};

}  // namespace vantor
