// SPDX-License-Identifier: GPL-3.0-or-later
// vantor.pressure and vantor.eos: a standard's pressure from a spectrum or a
// file, as `vantor-cli pressure --json` gives it, and its scales' P(a, T)
// and a(P, T) on their own.
#include "python/Pressure.h"

#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>

#include "analysis/PressureJson.h"
#include "python/Analysis.h"
#include "python/Spectrum.h"

namespace py = pybind11;

namespace vantor::python {
namespace {

StandardChoice Choose(const std::string& standard, const std::optional<std::string>& scale) {
  StandardChoice choice = scale ? ChooseStandard(standard, *scale) : ChooseStandard(standard);
  if (!choice.ok()) throw py::value_error(choice.error);
  return choice;
}

py::dict PressureDict(const SpectrumPressure& p) {
  return FromJson(PressureJson(p));
}

py::object Pressure(const std::variant<const Spectrum*, std::filesystem::path>& source, const std::string& standard,
                    const std::optional<std::string>& scale, std::optional<double> temperature, double temperatureSigma,
                    std::optional<double> twoTheta, double twoThetaSigma, std::optional<double> guessPressure,
                    const std::optional<std::string>& kind, const py::object& calibration,
                    const std::optional<std::vector<double>>& azimuths, std::optional<double> loadAxis,
                    bool ringOffset) {
  const StandardChoice choice = Choose(standard, scale);
  PressureRequest request;
  request.standard = choice.standard, request.scale = choice.scale;
  request.temperatureK = temperature, request.temperatureSigmaK = temperatureSigma;
  request.twoThetaDeg = twoTheta, request.twoThetaSigmaDeg = twoThetaSigma;
  request.guessPressureGPa = guessPressure;
  RunSettings settings;
  if (!calibration.is_none()) settings.calibration = LoadCalibration(calibration);
  if (const auto* spectrum = std::get_if<const Spectrum*>(&source)) {
    // A calibration file gives the spectrum its element's angle, and the angle's sigma.
    Spectrum copy = **spectrum;
    ApplyCalibrationArgument(calibration, copy);
    const std::size_t element = copy.element.value_or(0);
    const SpectrumPressure p =
        PressureOfSpectrum(copy.record, "the spectrum", 0, RequestForElement(request, settings, element));
    if (!p.ok()) throw py::value_error(p.error);
    py::dict d = PressureDict(p);
    d["file"] = py::none();
    return d;
  }
  const std::string path = std::get<std::filesystem::path>(source).string();
  SourcePressure read;
  {
    py::gil_scoped_release unlocked;
    read = PressureOfSource(path, kind.value_or(""), settings, request);
  }
  const py::module_ vantor = py::module_::import("vantor");
  if (!read.read) {
    // vantor.NotFound(errno, why, path) or vantor.FileError("path: File Error (why)"), as vantor.read raises.
    const bool missing = read.read.status == ReadStatus::NotFound;
    const py::object type = vantor.attr(missing ? "NotFound" : "FileError");
    const py::object error =
        missing ? type(ENOENT, read.read.why, path)
                : type(path + ": " + std::string(StatusMessage(read.read.status)) + " (" + read.read.why + ")");
    PyErr_SetObject(type.ptr(), error.ptr());
    throw py::error_already_set();
  }
  if (read.spectra.size() == 1) {
    if (!read.spectra[0].ok()) throw py::value_error(path + ": " + read.spectra[0].error);
    return PressureDict(read.spectra[0]);
  }
  py::list all;
  for (const SpectrumPressure& p : read.spectra) all.append(PressureDict(p));
  const CellGeometry geometry{azimuths.value_or(CalibratedAzimuths(settings, read.spectra.size())), loadAxis,
                              ringOffset};
  if (!geometry.azimuthsDeg.empty()) {
    all.append(FromJson(CellPressureJson(PressureOfCell(read.spectra, geometry, request))));
  }
  return all;
}

// One scale's equation of state, for scripts.
struct Eos {
  const PressureScale* scale;
};

void Warn(const std::vector<std::string>& warnings) {
  for (const std::string& w : warnings)
    if (PyErr_WarnEx(PyExc_UserWarning, w.c_str(), 2) != 0) throw py::error_already_set();
}

double EosPressure(const Eos& eos, double aA, double temperatureK) {
  const PressureResult p = PressureGPa(*eos.scale, aA, temperatureK);
  if (!p.ok()) throw py::value_error(p.error);
  Warn(p.warnings);
  return p.pressureGPa;
}

double EosLattice(const Eos& eos, double pressureGPa, double temperatureK) {
  const LatticeResult a = LatticeA(*eos.scale, pressureGPa, temperatureK);
  if (!a.ok()) throw py::value_error(a.error);
  Warn(a.warnings);
  return a.aA;
}

}  // namespace

void BindPressure(py::module_& m) {
  py::class_<Eos>(m, "EquationOfState", "A pressure standard's equation of state as one paper gives it.")
      .def("pressure", &EosPressure, py::arg("a"), py::arg("temperature"),
           "P in GPa at cell edge a (angstrom) and temperature (K); UserWarning outside the scale's checked range.")
      .def("lattice", &EosLattice, py::arg("pressure"), py::arg("temperature"),
           "The cell edge in angstrom at pressure (GPa) and temperature (K).")
      .def_property_readonly(
          "a0", [](const Eos& e) { return e.scale->a0A; }, "The cell edge at V0 (angstrom).")
      .def_property_readonly("reference", [](const Eos& e) { return CitationText(e.scale->reference); })
      .def_property_readonly("name", [](const Eos& e) { return std::string(e.scale->name); })
      .def_property_readonly("standard", [](const Eos& e) { return std::string(e.scale->standard); })
      .def("__repr__", [](const Eos& e) {
        return "<vantor.EquationOfState " + std::string(e.scale->standard) + " " + std::string(e.scale->name) + ">";
      });
  m.def(
      "eos",
      [](const std::string& standard, const std::optional<std::string>& scale) {
        return Eos{Choose(standard, scale).scale};
      },
      py::arg("standard"), py::arg("scale") = py::none(),
      "The equation of state of a pressure standard (nacl, au, pt, mgo; 'au:Shim2002' or scale= names one of its "
      "scales, else its default).");
  m.def("pressure", &Pressure, py::arg("spectrum_or_path"), py::arg("standard"), py::arg("scale") = py::none(),
        py::arg("temperature") = py::none(), py::kw_only(), py::arg("temperature_sigma") = 0.0,
        py::arg("two_theta") = py::none(), py::arg("two_theta_sigma") = 0.0, py::arg("guess_pressure") = py::none(),
        py::arg("kind") = py::none(), py::arg("calibration") = py::none(), py::arg("azimuths") = py::none(),
        py::arg("load_axis") = py::none(), py::arg("ring_offset") = false,
        "The pressure a standard's peaks give, as the dict `vantor-cli pressure --json` writes: for a file of several "
        "spectra a list, where a spectrum without a pressure has only its error. Temperature in K, else the record's, "
        "else 300 K (said in 'warnings'). ValueError when a single spectrum gives no pressure. calibration= a "
        "calibration file applied first (its angle's sigma joins the pressure's). For a file of several spectra, "
        "azimuths= one per spectrum (degrees on a detector ring; else the calibration file's) appends the cell's "
        "hydrostatic pressure from the strain across it (\"cell\": True; load_axis=, ring_offset= as the CLI's "
        "--load-axis and --ring-offset).");
}

}  // namespace vantor::python
