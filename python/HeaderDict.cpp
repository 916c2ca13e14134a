// SPDX-License-Identifier: GPL-3.0-or-later
// Header fields to and from Python values.
#include "python/HeaderDict.h"

#include <limits>
#include <string>

#include "base/Cp932.h"
#include "base/RecordFields.h"

namespace py = pybind11;

namespace vantor::python {
namespace {

py::object ToPython(std::int16_t value) {
  return py::int_(value);
}
py::object ToPython(double value) {
  return py::float_(value);
}
py::object ToPython(const std::array<double, 3>& egc) {
  return py::cast(std::vector<double>(egc.begin(), egc.end()));
}
template <std::size_t N>
py::object ToPython(const Text<N>& field) {
  return py::str(DisplayText(field));
}

void FromPython(const char* name, const py::handle& value, std::int16_t& field) {
  if (!py::isinstance<py::int_>(value)) throw py::type_error(std::string(name) + " takes an integer");
  const auto number = value.cast<long long>();
  if (number < std::numeric_limits<std::int16_t>::min() || number > std::numeric_limits<std::int16_t>::max())
    throw py::value_error(std::string(name) + " takes -32768 to 32767");
  field = static_cast<std::int16_t>(number);
}

void FromPython(const char* name, const py::handle& value, double& field) {
  try {
    field = value.cast<double>();
  } catch (const py::cast_error&) {
    throw py::type_error(std::string(name) + " takes a number");
  }
}

void FromPython(const char* name, const py::handle& value, std::array<double, 3>& egc) {
  if (!py::isinstance<py::sequence>(value) || py::len(value) != 3)
    throw py::type_error(std::string(name) + " takes three numbers");
  const auto numbers = value.cast<py::sequence>();
  for (std::size_t i = 0; i < 3; ++i) FromPython(name, numbers[i], egc[i]);
}

// Text as str (stored as code page 932) or as the field's own bytes. A str
// that reads as the field already does leaves the field's bytes as they are,
// so a header read and assigned back writes the same file.
template <std::size_t N>
void FromPython(const char* name, const py::handle& value, Text<N>& field) {
  std::string bytes;
  if (py::isinstance<py::str>(value)) {
    if (value.cast<std::string>() == DisplayText(field)) return;
    bytes = value.attr("encode")("cp932").template cast<std::string>();
  } else if (py::isinstance<py::bytes>(value)) {
    bytes = value.cast<std::string>();
  } else {
    throw py::type_error(std::string(name) + " takes a str or bytes");
  }
  if (bytes.size() > N)
    throw py::value_error(std::string(name) + " holds at most " + std::to_string(N) + " bytes of code page 932");
  AssignText(field, bytes);
}

}  // namespace

py::dict HeaderDict(const Header& header) {
  py::dict fields;
  ForEachHeaderField(header, [&fields](const char* name, const auto& field) { fields[name] = ToPython(field); });
  return fields;
}

void ApplyHeader(const py::dict& fields, Header& header) {
  Header changed = header;
  for (const auto& [key, value] : fields) {
    const auto name = py::str(key).cast<std::string>();
    bool known = false;
    ForEachHeaderField(changed, [&](const char* field, auto& target) {
      if (known || name != field) return;
      known = true;
      FromPython(field, value, target);
    });
    if (!known) throw py::key_error("no header field '" + name + "'");
  }
  header = changed;
}

}  // namespace vantor::python
