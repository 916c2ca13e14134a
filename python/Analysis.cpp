// SPDX-License-Identifier: GPL-3.0-or-later
// find_peaks, calibrate_energy and calibrate_two_theta.
#include "python/Analysis.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cerrno>
#include <filesystem>
#include <limits>
#include <memory>

#include "analysis/CalibrationReport.h"
#include "analysis/PeakTable.h"
#include "convert/CalibrationFile.h"
#include "formats/SourceRead.h"

namespace py = pybind11;

namespace vantor::python {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

CalibrationValues LoadCalibration(const py::object& given) {
  const std::string path = py::str(py::module_::import("os").attr("fspath")(given)).cast<std::string>();
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    PyErr_SetObject(PyExc_FileNotFoundError, py::make_tuple(ENOENT, "No such calibration file", path).ptr());
    throw py::error_already_set();
  }
  const CalibrationRead read = ReadCalibrationFile(path);
  if (!read.ok) throw py::value_error(read.message);
  return ValuesOf(read.calibration, path);
}

py::object FromJson(const nlohmann::ordered_json& value) {
  return py::module_::import("json").attr("loads")(value.dump());
}

namespace {

std::size_t ElementOf(const Spectrum& s) {
  return s.element.value_or(0);
}

// The spectra given (one or a list), copied so that other threads may change
// them while the work runs without the interpreter lock.
struct Copies {
  std::vector<std::unique_ptr<SpectrumRecord>> records;
  std::vector<ElementSpectrum> spectra;
};

Copies CopiesOf(const py::object& given) {
  std::vector<const Spectrum*> list;
  if (py::isinstance<Spectrum>(given)) {
    list.push_back(&given.cast<const Spectrum&>());
  } else {
    for (const py::handle item : given) list.push_back(&item.cast<const Spectrum&>());
  }
  if (list.empty()) throw py::value_error("no spectrum given");
  Copies c;
  for (const Spectrum* s : list) {
    c.records.push_back(std::make_unique<SpectrumRecord>(s->record));
    c.spectra.push_back({s->path.value_or(""), ElementOf(*s), c.records.back().get()});
  }
  return c;
}

py::dict FindPeaksOf(const Spectrum& spectrum, double minSnr, const py::object& energyRange,
                     const py::object& calibration) {
  Spectrum copy = spectrum;
  ApplyCalibrationArgument(calibration, copy);
  PeakOptions options;
  options.minSnr = minSnr;
  if (!energyRange.is_none()) options.energyRangeKeV = energyRange.cast<std::pair<double, double>>();
  const MeasureCondition& m = copy.record.Head.Measure;
  PeakSearch search;
  {
    py::gil_scoped_release unlocked;
    search = FindPeaks(std::span(copy.record.Data.Count).first(static_cast<std::size_t>(ChannelCount(copy))), m.EGC,
                       m.TwoTheta, options);
  }
  if (search.status == PeakSearchStatus::InvalidInput) throw py::value_error(search.message);
  const std::size_t n = search.peaks.size();
  const char* names[] = {"channel", "channel_sigma", "energy", "energy_sigma", "d",    "d_sigma",
                         "fwhm",    "fwhm_sigma",    "height", "height_sigma", "area", "area_sigma"};
  std::vector<py::array_t<double>> columns;
  for (std::size_t c = 0; c < std::size(names); ++c) columns.emplace_back(n);
  py::array_t<bool> escape(n), fitted(n);
  for (std::size_t i = 0; i < n; ++i) {
    const PeakResult& p = search.peaks[i];
    const Measured none{kNaN, kNaN};
    const Measured values[] = {p.channel, p.energyKeV.value_or(none), p.dSpacingA.value_or(none), p.fwhm, p.height,
                               p.area};
    for (std::size_t v = 0; v < std::size(values); ++v) {
      columns[2 * v].mutable_at(i) = values[v].value;
      columns[2 * v + 1].mutable_at(i) = values[v].sigma;
    }
    escape.mutable_at(i) = p.escape;
    fitted.mutable_at(i) = p.fitted;
  }
  py::dict out;
  for (std::size_t c = 0; c < std::size(names); ++c) out[names[c]] = columns[c];
  out["escape"] = escape;
  out["fitted"] = fitted;
  return out;
}

std::string LineText(const py::object& lines) {
  if (py::isinstance<py::str>(lines)) return lines.cast<std::string>();
  std::string text;
  for (const py::handle line : lines) text += (text.empty() ? "" : ",") + py::str(line).cast<std::string>();
  return text;
}

py::object CalibrateEnergyOf(const py::object& given, const py::object& linesGiven, const py::object& degree,
                             const py::object& guess) {
  const LineList lines = ParseLineList(LineText(linesGiven));
  if (!lines.ok) throw py::value_error(lines.message);
  EnergyCalibrationOptions options;
  options.degree = degree.is_none() ? 0 : degree.cast<int>();
  if (options.degree != 0 && options.degree != 1 && options.degree != 2)
    throw py::value_error("degree must be 1 (linear), 2 (quadratic) or None");
  if (!guess.is_none()) {
    const auto g = guess.cast<std::vector<double>>();
    if (g.size() != 2 && g.size() != 3) throw py::value_error("guess takes (a, b) or (a, b, c)");
    options.guess = std::array<double, 3>{g[0], g[1], g.size() == 3 ? g[2] : 0};
  }
  const Copies copies = CopiesOf(given);
  std::vector<ElementEnergy> results;
  {
    py::gil_scoped_release unlocked;
    results = CalibrateEnergyByElement(copies.spectra, lines.lines, options);
  }
  // One calibration that failed has nothing else to give.
  if (results.size() == 1 && results[0].element == 0 && results[0].calibration.status != CalibrationStatus::Ok)
    throw py::value_error(results[0].calibration.message);
  return FromJson(EnergyJson(results));
}

py::object CalibrateTwoThetaOf(const py::object& given, const std::string& name, const py::object& guess) {
  const Standard* standard = FindStandard(name);
  if (standard == nullptr) {
    std::string known;
    for (std::string_view n : StandardNames()) known += (known.empty() ? "" : ", ") + std::string(n);
    throw py::value_error("unknown standard '" + name + "' (" + known + ")");
  }
  TwoThetaOptions options;
  if (!guess.is_none()) options.guessDeg = guess.cast<double>();
  const Copies copies = CopiesOf(given);
  std::vector<TwoThetaCalibration> results;
  {
    py::gil_scoped_release unlocked;
    results = vantor::CalibrateTwoThetaOf(copies.spectra, *standard, options);
  }
  return FromJson(TwoThetaJson(results));
}

}  // namespace

void ApplyCalibrationArgument(const py::object& calibration, Spectrum& spectrum) {
  if (calibration.is_none()) return;
  SourceSpectrum s{spectrum.record, {}, {}};
  ApplyCalibration(LoadCalibration(calibration), ElementOf(spectrum), s);
  for (const auto& note : s.notes) PyErr_WarnEx(PyExc_UserWarning, note.c_str(), 1);
  spectrum.record.Head.Measure = s.record.Head.Measure;
}

void BindAnalysis(py::module_& m) {
  m.def("find_peaks", &FindPeaksOf, py::arg("spectrum"), py::arg("min_snr") = 5.0, py::arg("energy_range") = py::none(),
        py::arg("calibration") = py::none(),
        "Finds and fits the peaks of a spectrum: a dict of numpy arrays (channel, energy, d, fwhm, height, area, "
        "each with its _sigma; escape, fitted), as `vantor-cli peaks --json` gives them; NaN where undefined. "
        "energy_range=(low, high) in keV; calibration= a calibration file applied first.");
  m.def("calibrate_energy", &CalibrateEnergyOf, py::arg("spectra"), py::arg("lines"), py::arg("degree") = py::none(),
        py::arg("guess") = py::none(),
        "Energy calibration from known lines (\"Co-57,Pb-Ka1,59.5409\" or a list), the spectra of each element "
        "pooled: a dict as `vantor-cli calibrate energy --json` gives it (a list, one per element, for spectra of "
        "multi-element files). guess=(a, b[, c]) for spectra without a calibration. ValueError when it fails.");
  m.def("calibrate_two_theta", &CalibrateTwoThetaOf, py::arg("spectra"), py::arg("standard"),
        py::arg("guess") = py::none(),
        "2theta of each spectrum from a standard (au, pt, nacl, mgo, ceo2, si, lab6, al2o3): a list of dicts as "
        "`vantor-cli calibrate two-theta --json` gives them; one that failed holds \"error\".");
}

}  // namespace vantor::python
