// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis calls the viewer makes on a spectrum it shows: its peaks
// (within what the chart shows, when zoomed), its pressure, where a
// standard's reflections fall. The spectrum is turned into the record the
// analysis takes, so the window gives the numbers the command line gives.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "analysis/PeakSearch.h"
#include "analysis/ReflectionMarks.h"
#include "analysis/SpectrumPressure.h"
#include "view/ChartModel.h"

namespace vantor {

SpectrumRecord RecordOf(const ChartSpectrum& spectrum);

// The energies (keV, low to high) that x0..x1 on the axis cover; none
// without an energy calibration (or an angle on the d axis).
std::optional<std::pair<double, double>> EnergyRangeOf(const ChartSpectrum& spectrum, ChartAxis axis, double x0,
                                                       double x1);

// The spectrum's peaks at least minSnr above the background; with a range
// on the axis, only those whose centres lie in it (by energy when the
// spectrum is calibrated, as `peaks --energy-range` takes it, else by
// channel).
PeakSearch PeaksOfSpectrum(const ChartSpectrum& spectrum, double minSnr, ChartAxis axis,
                           std::optional<std::array<double, 2>> xRange);

// The pressure as `vantor-cli pressure` gives it for this spectrum.
SpectrumPressure PressureOfChartSpectrum(const ChartSpectrum& spectrum, const PressureRequest& request);

// Where the standard's reflections fall at `cell` for the spectrum's angle
// and calibration; empty without them.
std::vector<ReflectionMark> MarksOfStandard(const ChartSpectrum& spectrum, const Standard& standard, const Cell& cell);

// The x range on the axis that shows a peak with room around it: its
// centre three widths either way, low to high.
std::optional<std::array<double, 2>> PeakSpan(const ChartSpectrum& spectrum, ChartAxis axis, const PeakResult& peak);

}  // namespace vantor
