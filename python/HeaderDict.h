// SPDX-License-Identifier: GPL-3.0-or-later
// The header as a Python dict: every field under its name in the record,
// texts decoded for people, the calibration EGC as a list of three; the
// spare fields are left out. Assigning a dict sets the fields it names.
#pragma once

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "base/SpectrumRecord.h"

namespace vantor::python {

pybind11::dict HeaderDict(const Header& header);

// Raises KeyError for a name the header does not have, TypeError or
// ValueError for a value its field cannot hold, and then changes nothing.
void ApplyHeader(const pybind11::dict& fields, Header& header);

}  // namespace vantor::python
