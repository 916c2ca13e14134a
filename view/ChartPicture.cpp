// SPDX-License-Identifier: GPL-3.0-or-later
// Writing the chart as PNG or SVG.
#include "view/ChartPicture.h"

#include <QApplication>
#include <QBuffer>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <memory>
#include <optional>

#include "view/SpectrumChart.h"

namespace vantor::view {
namespace {

void Render(QChart& chart, QPainter& painter, QSizeF size) {
  painter.setRenderHint(QPainter::Antialiasing);
  chart.scene()->render(&painter, QRectF(QPointF(0, 0), size), chart.sceneBoundingRect());
}

// Lays a chart out at its size and removes the axes a new view replaced:
// without an event loop, nothing else would.
void LayOut() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Qt's SVG writer leaves out the clipping to the plot area, so lines beyond
// a zoomed (or the d axis's) range would run over the frame: the SVG is
// drawn from a copy of the chart whose lines are cut to what it shows.
bool DrawSvg(const SpectrumChart& chart, QBuffer& buffer) {
  QGraphicsScene scene;
  auto* cut = new SpectrumChart(chart.spectra());  // owned by the scene
  scene.addItem(cut);
  cut->SetView(chart.axis(), chart.logCounts());
  cut->resize(chart.size());
  cut->ShowView(chart.View());
  cut->SetRegion(chart.region());
  cut->CutToView();
  LayOut();
  const QSizeF size = cut->size();
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(size.toSize());
  svg.setViewBox(QRectF(QPointF(0, 0), size));
  svg.setTitle(QStringLiteral("Vantor spectrum"));
  QPainter painter(&svg);
  Render(*cut, painter, size);
  return painter.end();
}

// The whole picture in memory: the SVG generator does not report a write
// that fails, so the file gets it in one write whose result is checked.
bool DrawPicture(SpectrumChart& chart, const QString& suffix, QByteArray& bytes) {
  const QSizeF size = chart.size();
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (suffix == "svg") return DrawSvg(chart, buffer);
  QImage image(size.toSize(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter painter(&image);
  Render(chart, painter, size);
  painter.end();
  return image.save(&buffer, "PNG");
}

// The offscreen platform needs no display; a platform the user chose is kept.
std::string MissingFor(ChartAxis axis) {
  return axis == ChartAxis::Energy ? "it has no energy calibration" : "it has no energy calibration or no 2theta";
}

std::optional<QApplication> StartOffscreenApplication() {
  if (QCoreApplication::instance() != nullptr) return std::nullopt;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "vantor";
  static char* argv[] = {name, nullptr};
  return std::make_optional<QApplication>(argc, argv);
}

}  // namespace

bool SaveChartPicture(SpectrumChart& chart, const QString& path, QString* why) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    *why = file.errorString();
    return false;
  }
  QByteArray bytes;
  if (!DrawPicture(chart, suffix, bytes) || file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
    *why = file.errorString().isEmpty() ? QStringLiteral("the picture could not be drawn") : file.errorString();
    return false;
  }
  return true;
}

PlotResult PlotFiles(const PlotRequest& request, ConvertContext& context) {
  PlotResult result;
  const auto application = StartOffscreenApplication();
  auto spectra = LoadChartSpectra(request.files, context);
  bool complete = spectra.size() == request.files.size();
  QGraphicsScene scene;
  auto* chart = new SpectrumChart(std::move(spectra));  // owned by the scene
  scene.addItem(chart);
  chart->SetView(request.axis, request.log);
  for (const ChartSpectrum* hidden : chart->Hidden()) {
    context.prompt.Message(hidden->path + ": not drawn, " + MissingFor(request.axis));
    complete = false;
  }
  if (chart->Hidden().size() == chart->spectra().size()) {
    context.prompt.Message("Nothing to plot");
    return result;
  }
  chart->resize(request.width, request.height);
  LayOut();
  QString why;
  result.written = SaveChartPicture(*chart, QString::fromLocal8Bit(request.output), &why);
  if (!result.written) context.prompt.FileMessage(request.output, "Write Error", why.toStdString());
  result.complete = result.written && complete;
  return result;
}

}  // namespace vantor::view
