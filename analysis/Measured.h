// SPDX-License-Identifier: GPL-3.0-or-later
// A fitted or derived number and its standard uncertainty (one sigma, in the
// value's unit). They travel together so that nothing shows a value without
// the uncertainty a scientist needs to publish it.
#pragma once

namespace vantor {

struct Measured {
  double value = 0;
  double sigma = 0;
};

}  // namespace vantor
