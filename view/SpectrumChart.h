// SPDX-License-Identifier: GPL-3.0-or-later
// The spectrum chart: counts of one or more spectra against channel, energy
// or d-spacing, linear or log, with a legend and a region of interest. The
// viewer window shows it in a SpectrumChartView; `vantor-cli plot` renders
// it into a picture.
#pragma once

#include <QChart>
#include <QColor>
#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "view/ChartModel.h"

class QAreaSeries;
class QGraphicsItem;
class QScatterSeries;
class QValueAxis;

namespace vantor::view {

// A fitted peak drawn on its spectrum: a dot at the counts of its channel.
struct PeakMark {
  std::size_t spectrum = 0;  // index into the chart's spectra
  double channel = 0;        // number, from 1
  bool escape = false;
};

// A reflection's place: a tick at the top of the plot with its hkl.
struct TickMark {
  std::size_t spectrum = 0;
  double channel = 0;
  QString label;
  bool weak = false;
};

class SpectrumChart : public QChart {
  Q_OBJECT
 public:
  explicit SpectrumChart(std::vector<ChartSpectrum> spectra, QGraphicsItem* parent = nullptr);

  const std::vector<ChartSpectrum>& spectra() const { return spectra_; }
  ChartAxis axis() const { return axis_; }
  bool logCounts() const { return log_; }
  // The axes at least one spectrum can be drawn on (channel always).
  std::vector<ChartAxis> AvailableAxes() const;
  // The spectra the current axis cannot show (no calibration or angle).
  std::vector<const ChartSpectrum*> Hidden() const;

  // Draws the spectra on the axis with linear or log counts, the whole
  // range shown; the region is cleared, since its bounds belong to the old
  // axis.
  void SetView(ChartAxis axis, bool log);
  // Shows the whole range of every drawn spectrum again.
  void ResetZoom();
  // What the plot area shows, and showing that.
  ChartView View() const;
  void ShowView(const ChartView& view);
  // Replaces every line by its parts inside the plot area, and the region
  // by the part of it there, for pictures whose format cannot clip to the
  // plot area; zooming afterwards would show the cuts.
  void CutToView();

  // Marks kept in channels, so that they follow a change of axis; each set
  // replaces the one before (an empty one clears).
  void SetPeakMarks(std::vector<PeakMark> marks);
  void SetTicks(std::vector<TickMark> ticks);
  const std::vector<PeakMark>& peakMarks() const { return peakMarks_; }
  const std::vector<TickMark>& ticks() const { return ticks_; }
  // Draws every spectrum, or only the one given (an element of a file of
  // several picked out of the overlay).
  void ShowOnly(std::optional<std::size_t> spectrum);
  std::optional<std::size_t> shownOnly() const { return only_; }
  // A new energy calibration and angle for a spectrum, drawn at once.
  void SetCalibration(std::size_t spectrum, const std::array<double, 3>& egc, double twoThetaDeg);
  // Whether the x axis shows less than the whole range.
  bool Zoomed() const;

  void SetRegion(std::optional<std::array<double, 2>> region);
  std::optional<std::array<double, 2>> region() const { return region_; }

  // The x value at a point given in the chart's coordinates; none outside
  // the plot area.
  std::optional<double> XAt(QPointF position) const;

  static QString AxisTitle(ChartAxis axis);

 signals:
  void viewChanged();
  void regionChanged();

 private:
  void Rebuild();
  void DrawRegion(std::array<double, 2> band);
  void DrawPeakMarks();
  void PlaceTicks();
  bool Drawn(std::size_t spectrum) const;

  std::vector<ChartSpectrum> spectra_;
  ChartAxis axis_ = ChartAxis::Channel;
  bool log_ = false;
  std::array<double, 2> fullX_{0, 1};
  std::array<double, 2> fullY_{0, 1};
  std::optional<std::array<double, 2>> region_;
  QValueAxis* xAxis_ = nullptr;
  QAbstractAxis* yAxis_ = nullptr;
  QAreaSeries* regionSeries_ = nullptr;
  std::vector<PeakMark> peakMarks_;
  std::vector<TickMark> ticks_;
  std::optional<std::size_t> only_;
  std::vector<QScatterSeries*> peakSeries_;
  std::vector<QColor> lineColours_;  // of each spectrum's line, for its peak dots in an overlay
  std::vector<QGraphicsItem*> tickItems_;
};

}  // namespace vantor::view
