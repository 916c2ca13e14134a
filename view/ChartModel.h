// SPDX-License-Identifier: GPL-3.0-or-later
// What the spectrum chart draws, apart from Qt so that it can be checked
// without a display: the points of a spectrum against channel, energy or
// d-spacing, linear or log counts, the readout under the pointer and the
// sums over a region of interest.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/ConvertContext.h"
#include "base/SourceSpectrum.h"
#include "base/SpectrumRecord.h"

namespace vantor {

enum class ChartAxis { Channel, Energy, DSpacing };

// On a log axis a zero (or negative) count cannot be drawn; it sits on the
// axis floor instead, half a count, below every count there is.
inline constexpr double kLogFloor = 0.5;

struct ChartSpectrum {
  std::string path;         // the file, as given
  std::string name;         // for the legend: the file name, ":3" after it for element 3 of a file of several
  std::string kind;         // "xbm", "cnf", "med", ...
  std::size_t element = 0;  // 1-based in a file of several spectra, else 0
  Header header;
  std::vector<HeaderValue> extra;    // the file's header values without a record field
  std::vector<std::int32_t> counts;  // the channels in use
};

ChartSpectrum ChartSpectrumOf(const std::string& path, std::string kind, const SpectrumRecord& record);

// Reads the files ("FILE" for every spectrum it holds, "FILE:K" for its
// K-th; each by its extension and content; CSV sources take the angle and
// calibration of context.settings, no source the changes of a conversion),
// reporting each one that cannot be read through the context's prompt and
// leaving it out.
std::vector<ChartSpectrum> LoadChartSpectra(const std::vector<std::string>& paths, ConvertContext& context);

// Energy needs a calibration, d-spacing a calibration and an angle.
bool AxisAvailable(const ChartSpectrum& spectrum, ChartAxis axis);

// The x value of channel index i (channel number i + 1) on the axis; none
// where it cannot be formed or is not finite.
std::optional<double> XOfChannel(const ChartSpectrum& spectrum, ChartAxis axis, int index);
// The same at a fractional channel number (from 1), where a fitted peak or
// a reflection falls between channels.
std::optional<double> XOfChannelNumber(const ChartSpectrum& spectrum, ChartAxis axis, double number);

// The y value a count is drawn at.
double YOfCount(std::int32_t count, bool log);

struct ChartPoint {
  double x = 0;
  double y = 0;
};

// Every channel that has an x value on the axis, in channel order; empty
// when the axis is not available for the spectrum.
std::vector<ChartPoint> ChartPoints(const ChartSpectrum& spectrum, ChartAxis axis, bool log);

// The x range the chart opens on: every point of the spectra, but on the
// d axis only the decade above the smallest d, where the peaks are; the
// lowest energies would otherwise stretch the axis tenfold and more.
std::array<double, 2> DefaultXRange(const std::vector<ChartSpectrum>& spectra, ChartAxis axis);

// The y range that shows every count of the spectra, with room above the
// largest: from 0 (or the smallest negative count) on a linear axis; on a
// log axis from kLogFloor where a count is 0 or less (drawn there), else
// from the power of ten at or below the lowest count.
std::array<double, 2> CountRange(const std::vector<ChartSpectrum>& spectra, bool log);

// A tick spacing of 1, 2 or 5 times a power of ten that divides the span
// into about `ticks` parts.
double TickStep(double span, int ticks);

// What the plot area shows: x from x0 to x1, y from y0 to y1.
struct ChartView {
  double x0 = 0, x1 = 1, y0 = 0, y1 = 1;
};

// The parts of a line through the points that lie inside the view, each
// part cut where the line crosses the view's edge; on a log y axis the line
// is straight in log y, and so is the cut. For pictures whose format cannot
// clip what is drawn to the plot area (Qt's SVG writer).
std::vector<std::vector<ChartPoint>> ClipToView(const std::vector<ChartPoint>& line, const ChartView& view, bool logY);

struct Readout {
  int channel = 0;  // channel number (index + 1)
  std::optional<double> energy;
  std::optional<double> dSpacing;
  std::int32_t count = 0;
};

// The channel nearest to x on the axis; none when the spectrum has no
// point there.
std::optional<Readout> ReadoutAt(const ChartSpectrum& spectrum, ChartAxis axis, double x);

struct RegionSums {
  int channels = 0;                // channels whose x lies within the region
  std::int64_t counts = 0;         // their summed counts
  std::optional<double> centroid;  // count-weighted mean x; none when the counts sum to 0
};

// The channels whose x lies between x1 and x2 (in either order).
RegionSums SumRegion(const ChartSpectrum& spectrum, ChartAxis axis, double x1, double x2);

}  // namespace vantor
