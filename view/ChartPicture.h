// SPDX-License-Identifier: GPL-3.0-or-later
// The chart as a picture file (PNG or SVG, by the name's extension), and
// `vantor-cli plot`: spectra drawn into a picture without a display.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "base/ConvertContext.h"
#include "view/ChartModel.h"

namespace vantor::view {

class SpectrumChart;

// Renders the chart, shown in a scene, at its current size and zoom: SVG
// when the name ends in .svg, else PNG (the callers only pass .png or .svg
// names). The file is replaced only once the whole picture is written;
// false with the reason otherwise.
bool SaveChartPicture(SpectrumChart& chart, const QString& path, QString* why);

struct PlotRequest {
  std::vector<std::string> files;
  std::string output;  // .png or .svg
  ChartAxis axis = ChartAxis::Channel;
  bool log = false;
  int width = 1200;
  int height = 800;
};

struct PlotResult {
  bool written = false;   // the picture was written
  bool complete = false;  // and every file is on it
};

// Reads the files (reporting the ones that cannot be read through the
// context's prompt), draws the ones the axis can show and writes the
// picture. Starts an application on the offscreen platform when the
// program has none, so it needs no display.
PlotResult PlotFiles(const PlotRequest& request, ConvertContext& context);

}  // namespace vantor::view
