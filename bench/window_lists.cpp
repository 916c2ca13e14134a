// SPDX-License-Identifier: GPL-3.0-or-later
// How fast the window's file list follows a big folder:
//   vantor-window-bench [WORK_FOLDER]
// Fills WORK_FOLDER/big (20 000 record files) and WORK_FOLDER/half (10 000),
// then times, through the real widgets,
//   - opening the 20 000-file folder until the file list is painted (goal 0.5 s);
//   - selecting all of the 10 000-file folder until txtSelFile holds every
//     name (goal 0.2 s).
// Each figure is the median of five rounds.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "bench/SpectrumGenerator.h"
#include "formats/RecordFile.h"
#include "ui/FolderLists.h"
#include "ui/frmVantor.h"

namespace {

namespace fs = std::filesystem;

void Fill(const fs::path& folder, int count) {
  fs::create_directories(folder);
  const auto record = vantor::bench::GenerateSpectrum(1, 256);
  const std::string bytes = vantor::RecordFileBytes(record.Data, record.Head);
  for (int i = 1; i <= count; ++i) {
    const fs::path file = folder / ("run" + std::to_string(i) + ".xbm");
    if (fs::exists(file)) continue;
    std::FILE* out = std::fopen(file.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
  }
}

template <class Step>
double MedianMs(Step step) {
  std::vector<double> ms;
  for (int round = 0; round < 5; ++round) {
    QElapsedTimer clock;
    clock.start();
    step();
    ms.push_back(clock.nsecsElapsed() / 1e6);
  }
  std::sort(ms.begin(), ms.end());
  return ms[2];
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const fs::path work = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "vantor-window-bench";
  Fill(work / "big", 20000);
  Fill(work / "half", 10000);

  vantor::ui::frmVantor window(nullptr, QString::fromStdString(work.string()));
  window.show();
  QApplication::processEvents();
  auto& ui = window.ui;

  const double open = MedianMs([&] {
    ui.dirDirectory->setPath(QString::fromStdString((work / "big").string()));
    window.repaint();
    QApplication::processEvents();
  });
  const int listed = ui.filFiles->count();
  ui.dirDirectory->setPath(QString::fromStdString(work.string()));

  ui.dirDirectory->setPath(QString::fromStdString((work / "half").string()));
  const double select = MedianMs([&] {
    ui.filFiles->clearSelection();
    ui.filFiles->selectAll();
  });
  const auto names = ui.txtSelFile->text().count(';') + 1;

  std::printf("open folder of %d files, list painted: %.1f ms (goal 500 ms)\n", listed, open);
  std::printf("select all %lld files, txtSelFile rebuilt: %.1f ms (goal 200 ms)\n", static_cast<long long>(names),
              select);
  return listed == 20000 && names == 10000 && open <= 500 && select <= 200 ? 0 : 1;
}
