// SPDX-License-Identifier: GPL-3.0-or-later
// The pressure a spectrum of a standard shows: its peaks found and fitted,
// the cell edge from the standard's reflections, the temperature by the
// rule (given, else the record's, else 300 K with a warning), and P(a, T)
// from the chosen scale with its uncertainty in parts: from the edge, from
// the temperature and from 2theta, each propagated through the scale by
// central differences and combined in quadrature. The one step the
// pressure command, watch and Python all take, file by file.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/LatticeFit.h"
#include "base/ReadResult.h"
#include "base/RunSettings.h"
#include "base/SpectrumRecord.h"

namespace vantor {

// "au", "au:Fei2007", "NaCl:Matsui2012": a pressure standard and one of its
// scales (its default when none is named).
struct StandardChoice {
  const Standard* standard = nullptr;
  const PressureScale* scale = nullptr;
  std::string error;  // an unknown name, with the names that are known
  bool ok() const { return error.empty(); }
};
StandardChoice ChooseStandard(std::string_view text);
// The scale given apart ("" for the default), as Python takes it.
StandardChoice ChooseStandard(std::string_view standard, std::string_view scale);

struct PressureRequest {
  const Standard* standard = nullptr;
  const PressureScale* scale = nullptr;
  std::optional<double> temperatureK;  // else the record's, else 300 K
  double temperatureSigmaK = 0;
  std::optional<double> twoThetaDeg;  // else the record's
  double twoThetaSigmaDeg = 0;        // from a 2theta calibration
  std::optional<double> guessPressureGPa;
  double minSnr = 5;  // for the peak search
};

enum class TemperatureSource : unsigned char { Option, Record, Assumed };
std::string_view TemperatureSourceName(TemperatureSource source);  // "option", "record", "assumed"

struct PressureSigmaParts {
  double edge = 0, temperature = 0, twoTheta = 0;  // GPa
};

// Half the change of P between an input's value minus and plus one sigma
// (`pressure` of the offset); 0 without a sigma.
double HalfSpread(const std::function<double(double)>& pressure, double sigma);

// Whether a chi2 per degree of freedom over `dof` degrees is beyond what
// counting errors give but once in a thousand: the points disagree, and the
// result says so.
bool SpreadBeyondErrors(double chiSquaredReduced, double dof);

struct SpectrumPressure {
  std::string file;
  std::size_t element = 0;  // 1-based in a file of several spectra; 0 in a file of one
  std::string date, time;   // of the measurement: "2016-11-05", "21:31:39"; empty when the record has none
  double pressLoad = 0;     // the record's press load, 0 when not given
  const PressureScale* scale = nullptr;
  std::string error;  // why there is no pressure (without the name); nothing below is then valid
  double temperatureK = 0;
  TemperatureSource temperatureSource = TemperatureSource::Assumed;
  double twoThetaDeg = 0;
  double twoThetaSigmaDeg = 0;  // from a 2theta calibration or given
  LatticeFit lattice;
  double volumeA3 = 0;  // of the unit cell
  double volumeRatio = 0;
  Measured pressureGPa;
  PressureSigmaParts sigmaParts;
  std::vector<std::string> warnings;  // each naming the spectrum
  // Another cell edge that fitted the peak places nearly as well: its
  // pressure and both edges' scores.
  struct Rival {
    double pressureGPa = 0, score = 0, bestScore = 0;
  };
  std::optional<Rival> rival;
  bool ok() const { return error.empty(); }
  std::string Name() const;  // "run7.med", or "COSI.med:3" for one spectrum of several
};

SpectrumPressure PressureOfSpectrum(const SpectrumRecord& record, std::string file, std::size_t element,
                                    const PressureRequest& request);

struct SourcePressure {
  ReadResult read;                        // not Ok: the file could not be read, no spectra
  std::vector<SpectrumPressure> spectra;  // one per spectrum of the file, in its order
};

// The request for spectrum `element` (CalibrationElement) of a source read
// with these settings: a 2theta from a calibration file comes with its
// sigma, which the pressure's sigma carries; an angle given for the run is
// the user's to qualify.
PressureRequest RequestForElement(const PressureRequest& request, const RunSettings& settings, std::size_t element);

// The elements of one detector see one cell. When some of them fit a second
// cell edge nearly as well (`rival`) and no pressure was guessed, the
// pressure the elements' scores together favour is chosen (each element
// votes with the score of its edge or its rival's within 3 GPa of it), and
// every element whose own choice lies elsewhere is fitted again by
// `refit(index, guessGPa)` near it, with a warning that says so.
void SettleRivalElements(std::vector<SpectrumPressure>& pressures, const PressureRequest& request,
                         const std::function<SpectrumPressure(std::size_t, double)>& refit);

// Reads the file the one way every source is read (kind: a --from name, or
// empty for its extension) and gives each of its spectra's pressure.
SourcePressure PressureOfSource(const std::string& path, std::string_view kind, const RunSettings& settings,
                                const PressureRequest& request);

}  // namespace vantor
