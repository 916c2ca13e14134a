// SPDX-License-Identifier: GPL-3.0-or-later
// The vantor Python module: the readers, writers, Combine and 3D Data of
// the core, for scripts and notebooks. Each call runs the core with a prompt
// of its own and turns what went wrong into a Python exception; the file
// work runs without the interpreter lock.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/TextRoutines.h"
#include "base/Version.h"
#include "convert/OutputFile.h"
#include "formats/SourceRead.h"
#include "python/Analysis.h"
#include "python/Pressure.h"
#include "python/RecordingPrompt.h"
#include "python/Spectrum.h"
#include "series/File3D.h"
#include "series/FileCombine.h"

namespace py = pybind11;
namespace fs = std::filesystem;

namespace vantor::python {
namespace {

// The module's exception classes, made once at import and kept for the
// life of the process.
struct Errors {
  py::handle error, notFound, fileError, writeError;
};
Errors errors;

py::handle NewError(const char* name, py::handle bases, const char* doc) {
  PyObject* type = PyErr_NewExceptionWithDoc(name, doc, bases.ptr(), nullptr);
  if (type == nullptr) throw py::error_already_set();
  return type;
}

[[noreturn]] void Raise(py::handle type, const py::object& instance) {
  PyErr_SetObject(type.ptr(), instance.ptr());
  throw py::error_already_set();
}

// What the prompt recorded of a failed step, as the exception that fits it:
// a declined replace question, an unreadable source, an unwritable output,
// or whatever else the core said.
[[noreturn]] void RaiseRead(const std::string& path, const ReadResult& read) {
  if (read.status == ReadStatus::NotFound) Raise(errors.notFound, errors.notFound(ENOENT, read.why, path));
  py::object error = errors.fileError(path + ": " + std::string(StatusMessage(read.status)) + " (" + read.why + ")");
  error.attr("filename") = path;
  Raise(errors.fileError, error);
}

[[noreturn]] void RaiseDeclined(const std::string& output) {
  Raise(PyExc_FileExistsError,
        py::handle(PyExc_FileExistsError)(EEXIST, "File exists (pass overwrite=True to replace it)", output));
}

[[noreturn]] void RaiseWrite(const std::string& output, const std::string& why) {
  Raise(errors.writeError,
        errors.writeError(output + ": Open Error (" + (why.empty() ? "the file could not be written" : why) + ")"));
}

// csv_params: the angle, calibration and temperature (kelvin) CSV sources
// lack, as the command line's --csv-params; all three must be given.
CsvParameters CsvParametersOf(const py::object& given) {
  if (given.is_none()) return {};
  const auto params = given.cast<py::dict>();
  for (const auto& [key, value] : params) {
    const auto name = py::str(key).cast<std::string>();
    if (name != "two_theta" && name != "egc" && name != "temperature")
      throw py::value_error("csv_params takes two_theta, egc and temperature, not '" + name + "'");
  }
  if (params.size() != 3) throw py::value_error("csv_params needs two_theta, egc (three numbers) and temperature (K)");
  try {
    const auto egc = params["egc"].cast<std::vector<double>>();
    if (egc.size() != 3) throw py::value_error("csv_params egc takes three numbers");
    return {params["two_theta"].cast<double>(),
            {egc[0], egc[1], egc[2]},
            params["temperature"].cast<double>() - kZeroCelsiusInKelvin};  // kept in degrees Celsius
  } catch (const py::cast_error&) {
    throw py::type_error("csv_params takes numbers: two_theta, egc (three) and temperature");
  }
}

// Every spectrum of the file, read as vantor-cli reads it.
SourceRead ReadFile(const std::string& file, const std::optional<std::string>& kind, const py::object& csvParams) {
  const auto formats = FindSources(kind ? *kind : SplitPath(file).extension);
  if (formats.empty())
    throw py::value_error(kind ? "unknown source kind '" + *kind + "' (" + SourceNames() + ")"
                               : "cannot tell the source kind of '" + file + "' (give kind=: " + SourceNames() + ")");
  if (formats.front()->kind == SourceKind::Csv && csvParams.is_none())
    throw py::value_error("CSV sources need csv_params=dict(two_theta=..., egc=(a, b, c), temperature=kelvin)");
  RunSettings settings;
  settings.csv = CsvParametersOf(csvParams);
  SourceRead read;
  {
    py::gil_scoped_release unlocked;
    read = ReadSpectra(file, kind.value_or(""), settings);
  }
  if (!read.result) RaiseRead(file, read.result);
  return read;
}

std::unique_ptr<Spectrum> SpectrumOf(SourceRead& read, std::size_t index, const std::string& file,
                                     const py::object& calibration) {
  auto spectrum = std::make_unique<Spectrum>();
  spectrum->record = read.spectra[index].record;
  spectrum->extra = std::move(read.spectra[index].extra);
  spectrum->kind = std::string(read.format->name);
  spectrum->path = file;
  if (read.spectra.size() > 1) spectrum->element = index + 1;
  ApplyCalibrationArgument(calibration, *spectrum);
  return spectrum;
}

std::unique_ptr<Spectrum> Read(const fs::path& path, const std::optional<std::size_t>& element,
                               const std::optional<std::string>& kind, const py::object& csvParams,
                               const py::object& calibration) {
  const std::string file = path.string();
  SourceRead read = ReadFile(file, kind, csvParams);
  const std::size_t count = read.spectra.size();
  if (!element && count > 1)
    throw py::value_error(file + " holds " + std::to_string(count) + " spectra: give element=1.." +
                          std::to_string(count) + ", or use read_all");
  if (element && (*element < 1 || *element > count))
    throw py::index_error(file + " holds " + std::to_string(count) + (count == 1 ? " spectrum" : " spectra") +
                          ": element " + std::to_string(*element) + " is not one of them");
  return SpectrumOf(read, element ? *element - 1 : 0, file, calibration);
}

std::vector<std::unique_ptr<Spectrum>> ReadAll(const fs::path& path, const std::optional<std::string>& kind,
                                               const py::object& csvParams, const py::object& calibration) {
  SourceRead read = ReadFile(path.string(), kind, csvParams);
  std::vector<std::unique_ptr<Spectrum>> spectra;
  for (std::size_t k = 0; k < read.spectra.size(); ++k)
    spectra.push_back(SpectrumOf(read, k, path.string(), calibration));
  return spectra;
}

void Write(const Spectrum& spectrum, const fs::path& path, const std::string& kind, bool overwrite) {
  const OutputFormat* format = FindOutput(kind);
  if (format == nullptr) throw py::value_error("unknown output kind '" + kind + "' (rpt, txt, csv, npd, gsa, xbm)");
  const std::string file = path.string();
  RecordingPrompt prompt(overwrite);
  ConvertContext context(prompt);
  // A copy of its own, so that other threads may change the spectrum meanwhile.
  const auto record = std::make_unique<SpectrumRecord>(spectrum.record);
  Saved saved;
  {
    py::gil_scoped_release unlocked;
    saved = WriteOutputFile(*format, file, *record, context);
  }
  if (saved.state == SaveState::Declined) RaiseDeclined(file);
  if (saved.state == SaveState::Failed) RaiseWrite(file, saved.why);
}

// Combine and 3D Data as the command line runs them: the output chosen up
// front, existing files replaced only when asked to.
template <typename Run>
void RunSeries(const std::vector<fs::path>& paths, const std::string& output, bool overwrite,
               const py::object& csvParams, const std::string& written, Run run) {
  if (paths.empty()) throw py::value_error("no files given");
  std::vector<std::string> names;
  for (const auto& path : paths) names.push_back(path.string());
  RecordingPrompt prompt(overwrite);
  prompt.saveName = output;
  ConvertContext context(prompt);
  context.settings.OverWriteCheck = !overwrite;
  context.settings.csv = CsvParametersOf(csvParams);
  SeriesOutcome outcome;
  {
    py::gil_scoped_release unlocked;
    outcome = run("", names, context);
  }
  switch (outcome.state) {
    case SeriesOutcome::State::Written:
      return;
    case SeriesOutcome::State::Declined:
      RaiseDeclined(written);
    case SeriesOutcome::State::ReadFailed:
      RaiseRead(outcome.file, outcome.read);
    case SeriesOutcome::State::WriteFailed:
      RaiseWrite(written, outcome.why);
    case SeriesOutcome::State::Stopped:
      break;
  }
  std::string text;
  for (const auto& message : prompt.messages) text += (text.empty() ? "" : "; ") + message;
  Raise(errors.error, errors.error(text.empty() ? written + ": failed" : text));
}

std::string Combine(const std::vector<fs::path>& paths, const fs::path& out, bool overwrite,
                    const py::object& csvParams) {
  const std::string output = out.string();
  RunSeries(paths, output, overwrite, csvParams, output, RunCombine);
  return output;
}

std::string Table(const std::vector<fs::path>& paths, const fs::path& out, bool overwrite) {
  const std::string output = out.string();
  const std::string written = TableOutputPath(output);
  RunSeries(paths, output, overwrite, py::none(), written, Run3DData);
  return written;
}

}  // namespace
}  // namespace vantor::python

PYBIND11_MODULE(vantor, m) {
  using namespace vantor::python;
  m.doc() = "Read, write, combine and tabulate energy-dispersive X-ray diffraction spectra.";
  m.attr("__version__") = std::string(vantor::kVersion);
  // pybind11 looks numpy up on first use, under a static guard. Left to the
  // first array of several threads, which drop the interpreter lock for file
  // work, that look-up deadlocks; done here, it happens once, at import.
  py::array_t<std::int32_t>(0);
  py::array_t<double>(0);
  errors.error = NewError("vantor.Error", PyExc_Exception, "A file could not be read or written.");
  errors.notFound = NewError("vantor.NotFound", py::make_tuple(errors.error, py::handle(PyExc_FileNotFoundError)),
                             "A source file is missing or cannot be opened.");
  errors.fileError = NewError("vantor.FileError", py::make_tuple(errors.error, py::handle(PyExc_ValueError)),
                              "A source file's contents cannot be read.");
  errors.writeError = NewError("vantor.WriteError", py::make_tuple(errors.error, py::handle(PyExc_OSError)),
                               "An output file could not be written.");
  m.attr("Error") = errors.error;
  m.attr("NotFound") = errors.notFound;
  m.attr("FileError") = errors.fileError;
  m.attr("WriteError") = errors.writeError;

  BindSpectrum(m);
  BindAnalysis(m);
  BindPressure(m);
  m.def("read", &Read, py::arg("path"), py::arg("element") = py::none(), py::arg("kind") = py::none(),
        py::arg("csv_params") = py::none(), py::arg("calibration") = py::none(),
        "Reads a spectrum; a file of several spectra needs element= (from 1). kind (a --from name) defaults to the "
        "file's extension and content. CSV sources need csv_params=dict(two_theta=deg, egc=(a, b, c), "
        "temperature=kelvin). calibration= a calibration file (from calibrate) whose values replace the file's.");
  m.def("read_all", &ReadAll, py::arg("path"), py::arg("kind") = py::none(), py::arg("csv_params") = py::none(),
        py::arg("calibration") = py::none(), "Reads every spectrum of a file, in its order, as a list.");
  m.def("write", &Write, py::arg("spectrum"), py::arg("path"), py::arg("kind"), py::arg("overwrite") = false,
        "Writes the spectrum as rpt, txt, csv, npd, gsa or xbm to path, byte for byte as vantor-cli does; "
        "FileExistsError for an existing file unless overwrite=True.");
  m.def("combine", &Combine, py::arg("paths"), py::arg("out"), py::arg("overwrite") = false,
        py::arg("csv_params") = py::none(),
        "Sums the spectra channel by channel into out (.xbm, .csv or .npd) with the first file's header; "
        "returns the path written.");
  m.def("table", &Table, py::arg("paths"), py::arg("out"), py::arg("overwrite") = false,
        "Lays NPD spectra side by side in one CSV table (its extension becomes .csv); returns the path written.");
}
