// SPDX-License-Identifier: GPL-3.0-or-later
// vantor.pressure, vantor.eos and the EquationOfState class.
#pragma once

#include <pybind11/pybind11.h>

namespace vantor::python {

void BindPressure(pybind11::module_& m);

}  // namespace vantor::python
