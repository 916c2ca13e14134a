// Header fields to and from Python values.
#include "python/HeaderDict.h"

#include <limits>
#include <string>

#include "base/Cp932.h"

namespace py = pybind11;

namespace vantor::python {
namespace {

// Every field a person reads or sets, in record order. `H` is Header or
// const Header, so one list serves both directions.
template <typename H, typename Visit>
void ForEachField(H& header, Visit&& visit) {
  auto& c = header.Common;
  visit("DataType", c.DataType);
  visit("SampleTitle", c.SampleTitle);
  visit("SampleID", c.SampleID);
  visit("MeasDate", c.MeasDate);
  visit("MeasTime", c.MeasTime);
  visit("Operator", c.Operator);
  visit("Comment", c.Comment);
  visit("SourceFormat", c.SourceFormat);
  auto& m = header.Measure;
  visit("MeasureType", m.MeasureType);
  visit("PrsRTime", m.PrsRTime);
  visit("PrsLTime", m.PrsLTime);
  visit("ROIStart", m.ROIStart);
  visit("ROIEnd", m.ROIEnd);
  visit("ROISigma", m.ROISigma);
  visit("EGC", m.EGC);
  visit("TwoTheta", m.TwoTheta);
  visit("Volt", m.Volt);
  visit("RingCurrent", m.RingCurrent);
  visit("Pressure", m.Pressure);
  visit("Temperature", m.Temperature);
  visit("MiriVolt", m.MiriVolt);
  visit("RateMeter", m.RateMeter);
  visit("GainConv", m.GainConv);
  visit("RealTime", m.RealTime);
  visit("LiveTime", m.LiveTime);
  visit("PressX", m.PressX);
  visit("PressY", m.PressY);
  visit("PressZ", m.PressZ);
  visit("PressTZ", m.PressTZ);
  visit("HGonioX", m.HGonioX);
  visit("HGonioY", m.HGonioY);
  visit("HGonioZ", m.HGonioZ);
  visit("VGonioX", m.VGonioX);
  visit("VGonioY", m.VGonioY);
  visit("VGonioZ", m.VGonioZ);
  visit("VAngle", m.VAngle);
  visit("PressLoad", m.PressLoad);
  visit("RamStroke", m.RamStroke);
  visit("Power", m.Power);
  visit("Resistance", m.Resistance);
  visit("RingCurrent2", m.RingCurrent2);
  visit("DeadTime", m.DeadTime);
  visit("InSlitV", m.InSlitV);
  visit("InSlitH", m.InSlitH);
  visit("InSlitX", m.InSlitX);
  visit("InSlitZ", m.InSlitZ);
  visit("InSlitTY", m.InSlitTY);
  visit("ReSlitV", m.ReSlitV);
  visit("ReSlitH", m.ReSlitH);
  visit("ReSlitX", m.ReSlitX);
  visit("ReSlitZ", m.ReSlitZ);
  visit("ReSlitTY", m.ReSlitTY);
  visit("CollimatorSize", m.CollimatorSize);
  visit("Current2", m.Current2);
}

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
  ForEachField(header, [&fields](const char* name, const auto& field) { fields[name] = ToPython(field); });
  return fields;
}

void ApplyHeader(const py::dict& fields, Header& header) {
  Header changed = header;
  for (const auto& [key, value] : fields) {
    const auto name = py::str(key).cast<std::string>();
    bool known = false;
    ForEachField(changed, [&](const char* field, auto& target) {
      if (known || name != field) return;
      known = true;
      FromPython(field, value, target);
    });
    if (!known) throw py::key_error("no header field '" + name + "'");
  }
  header = changed;
}

}  // namespace vantor::python
