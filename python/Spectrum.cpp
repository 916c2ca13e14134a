// SPDX-License-Identifier: GPL-3.0-or-later
// The Spectrum class of the module.
#include "python/Spectrum.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "base/Cp932.h"
#include "base/DSpacing.h"
#include "python/HeaderDict.h"

namespace py = pybind11;

namespace vantor::python {
namespace {

template <typename Value>
py::array_t<Value> PerChannel(const Spectrum& spectrum, auto valueOf) {
  py::array_t<Value> values(ChannelCount(spectrum));
  auto out = values.template mutable_unchecked<1>();
  for (py::ssize_t i = 0; i < out.shape(0); ++i) out(i) = valueOf(static_cast<int>(i));
  return values;
}

// The counts as a view of the record, so that `s.counts[i] = n` changes the
// spectrum; the array keeps the spectrum alive.
py::array_t<std::int32_t> CountsView(const py::object& self) {
  auto& spectrum = self.cast<Spectrum&>();
  return py::array_t<std::int32_t>(ChannelCount(spectrum), spectrum.record.Data.Count.data(), self);
}

std::string Repr(const Spectrum& s) {
  std::string text =
      "<vantor.Spectrum " + (s.kind ? *s.kind + ", " : std::string()) + std::to_string(ChannelCount(s)) + " channels";
  const std::string title = DisplayText(s.record.Head.Common.SampleTitle);
  if (!title.empty()) text += ", " + py::repr(py::str(title)).cast<std::string>();
  return text + ">";
}

}  // namespace

int ChannelCount(const Spectrum& spectrum) {
  return std::clamp<int>(spectrum.record.Data.DataNumber, 0, kMaxChannels);
}

void SetCounts(Spectrum& spectrum, const py::object& given) {
  const py::array counts = py::array::ensure(given);
  if (!counts) throw py::type_error("counts must be an array of integers");
  if (counts.ndim() != 1) throw py::value_error("counts must be a one-dimensional array");
  if (counts.size() > kMaxChannels)
    throw py::value_error("a spectrum holds at most " + std::to_string(kMaxChannels) + " channels");
  const char kind = counts.dtype().kind();
  if (counts.size() > 0 && kind != 'i' && kind != 'u' && kind != 'b') throw py::type_error("counts must be integers");
  // Through doubles, which hold every 32-bit value exactly and show any
  // larger one as larger, whatever the integer type given.
  const auto values = py::array_t<double, py::array::forcecast>::ensure(counts);
  const auto in = values.unchecked<1>();
  for (py::ssize_t i = 0; i < in.shape(0); ++i)
    if (in(i) < std::numeric_limits<std::int32_t>::min() || in(i) > std::numeric_limits<std::int32_t>::max())
      throw py::value_error("count " + py::str(py::int_(py::float_(in(i)))).cast<std::string>() + " at channel " +
                            std::to_string(i + 1) + " does not fit 32 bits");
  SpecData& data = spectrum.record.Data;
  data.Count.fill(0);
  for (py::ssize_t i = 0; i < in.shape(0); ++i) data.Count[i] = static_cast<std::int32_t>(in(i));
  data.DataNumber = static_cast<std::int16_t>(in.shape(0));
}

py::array_t<double> Energies(const Spectrum& spectrum) {
  const auto& egc = spectrum.record.Head.Measure.EGC;
  return PerChannel<double>(spectrum, [&egc](int i) { return EnergyOfChannel(i + 1, egc); });
}

py::array_t<double> DSpacings(const Spectrum& spectrum) {
  const MeasureCondition& m = spectrum.record.Head.Measure;
  const double sinTheta = SinTheta(m.TwoTheta);
  return PerChannel<double>(spectrum, [&](int i) {
    return DSpacing(EnergyOfChannel(i + 1, m.EGC), sinTheta, kHcExact)
        .value_or(std::numeric_limits<double>::quiet_NaN());
  });
}

// A name the file gives twice keeps both values: the second as "name (2)".
py::dict ExtraValues(const Spectrum& spectrum) {
  py::dict values;
  for (const auto& [name, value] : spectrum.extra) {
    std::string key = name;
    for (int n = 2; values.contains(key); ++n) key = name + " (" + std::to_string(n) + ")";
    values[py::str(key)] = value;
  }
  return values;
}

void BindSpectrum(py::module_& m) {
  py::class_<Spectrum>(m, "Spectrum", "One spectrum: counts per channel and the conditions it was measured under.")
      .def(py::init([](const py::object& counts, const py::object& header) {
             auto spectrum = std::make_unique<Spectrum>();
             SetCounts(*spectrum, counts);
             if (!header.is_none() && !py::isinstance<py::dict>(header)) throw py::type_error("header must be a dict");
             if (!header.is_none()) ApplyHeader(header.cast<py::dict>(), spectrum->record.Head);
             return spectrum;
           }),
           py::arg("counts"), py::arg("header") = py::none(),
           "A spectrum of the given integer counts (at most 8192 channels) and header fields; "
           "fields not given are 0 or empty.")
      .def_property("counts", &CountsView, &SetCounts, "The counts (int32), one per channel; a view of the spectrum.")
      .def_property_readonly(
          "channels", [](const Spectrum& s) { return PerChannel<std::int32_t>(s, [](int i) { return i + 1; }); },
          "Channel numbers 1..N.")
      .def_property_readonly("energy", &Energies, "Energy of each channel in keV from the calibration EGC.")
      .def_property_readonly("d_spacing", &DSpacings,
                             "d-spacing of each channel in angstrom from the energy and 2theta; NaN where none.")
      .def_property(
          "header", [](const Spectrum& s) { return HeaderDict(s.record.Head); },
          [](Spectrum& s, const py::dict& fields) { ApplyHeader(fields, s.record.Head); },
          "The header fields as a new dict; assigning a dict sets the fields it names.")
      .def_readonly("kind", &Spectrum::kind, "The source format read from (xbm, cnf, med, ...), or None.")
      .def_readonly("element", &Spectrum::element,
                    "Which spectrum of its file this is (from 1) when the file holds several, else None.")
      .def_readonly("path", &Spectrum::path, "The file it was read from, or None.")
      .def_property_readonly("extra", &ExtraValues,
                             "The file's header values that have no field in the record, as a dict of texts.")
      .def("__len__", &ChannelCount)
      .def("__repr__", &Repr);
}

}  // namespace vantor::python
