// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/SpectrumCalibration.h"

#include "view/SpectrumAnalysis.h"

namespace vantor {
namespace {

// The records the calibrations read, and the spectra naming them; the
// records must outlive the spectra's pointers.
struct Records {
  std::vector<SpectrumRecord> records;
  std::vector<ElementSpectrum> spectra;
  explicit Records(std::span<const ChartSpectrum> chart) {
    records.reserve(chart.size());
    for (const ChartSpectrum& s : chart) records.push_back(RecordOf(s));
    for (std::size_t i = 0; i < chart.size(); ++i) spectra.push_back({chart[i].path, chart[i].element, &records[i]});
  }
};

}  // namespace

std::vector<ElementEnergy> CalibrateEnergyOfSpectra(std::span<const ChartSpectrum> spectra,
                                                    std::span<const CalibrationLine> lines,
                                                    const EnergyCalibrationOptions& options) {
  const Records read(spectra);
  return CalibrateEnergyByElement(read.spectra, lines, options);
}

std::vector<TwoThetaCalibration> CalibrateTwoThetaOfSpectra(std::span<const ChartSpectrum> spectra,
                                                            const Standard& standard, const TwoThetaOptions& options) {
  const Records read(spectra);
  return CalibrateTwoThetaOf(read.spectra, standard, options);
}

std::optional<ElementCalibration> CalibrationOfSpectrum(const CalibrationValues& values,
                                                        const ChartSpectrum& spectrum) {
  const auto found = values.elements.find(spectrum.element);
  if (found == values.elements.end() || (!found->second.egc && !found->second.twoTheta)) return std::nullopt;
  return found->second;
}

}  // namespace vantor
