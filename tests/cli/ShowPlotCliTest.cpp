// SPDX-License-Identifier: GPL-3.0-or-later
// vantor-cli show and plot on the samples, as a user runs them.
#include <gtest/gtest.h>

#include "support/RunCli.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

using test::RunCli;
using test::ShellQuote;

const std::string kSamples = VANTOR_SAMPLES_DIR;

TEST(ShowCli, JsonHasOneObjectPerReadableFileAndReportsTheOthers) {
  const std::string files = ShellQuote(kSamples + "/run0001.xbm") + " " + ShellQuote(kSamples + "/missing.npd") + " " +
                            ShellQuote(kSamples + "/export.csv");
  const auto run = RunCli("show --json " + files);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out.rfind("[\n  {", 0), 0u) << run.out;
  EXPECT_EQ(run.out.substr(run.out.size() - 4), "}\n]\n");
  EXPECT_NE(run.out.find("\"kind\": \"xbm\""), std::string::npos);
  EXPECT_NE(run.out.find("\"kind\": \"csv\""), std::string::npos);
  EXPECT_EQ(run.out.find("missing"), std::string::npos);
  EXPECT_NE(run.out.find("},\n  {"), std::string::npos);
  EXPECT_FALSE(run.err.empty());

  const auto text = RunCli("show " + ShellQuote(kSamples + "/profile.npd"));
  EXPECT_EQ(text.exitCode, 0);
  EXPECT_NE(text.out.find("  Channels        256\n"), std::string::npos) << text.out;
}

#ifdef VANTOR_WITH_PLOT
TEST(PlotCli, WritesAPngAndAnSvg) {
  test::TempDir dir;
  const std::string spectra = ShellQuote(kSamples + "/run0001.xbm") + " " + ShellQuote(kSamples + "/run0002.xbm");
  const auto png = RunCli("plot " + spectra + " --x energy --log --size 400x300 -o " + ShellQuote(dir / "a.png"));
  EXPECT_EQ(png.exitCode, 0) << png.err;
  const std::string pngBytes = test::ReadAll(dir / "a.png");
  ASSERT_GT(pngBytes.size(), 1000u);
  EXPECT_EQ(pngBytes.substr(1, 3), "PNG");
  EXPECT_EQ(pngBytes.substr(16, 8), std::string("\0\0\x01\x90\0\0\x01\x2c", 8));  // 400 x 300

  const auto svg = RunCli("plot " + spectra + " --x d -o " + ShellQuote(dir / "a.svg"));
  EXPECT_EQ(svg.exitCode, 0) << svg.err;
  const std::string svgText = test::ReadAll(dir / "a.svg");
  EXPECT_NE(svgText.find("<svg"), std::string::npos);
  EXPECT_NE(svgText.find("run0002.xbm"), std::string::npos);  // the legend
}

TEST(PlotCli, NothingDrawableWritesNothing) {
  test::TempDir dir;
  // An analyser export has no calibration unless one is entered.
  const std::string csv = ShellQuote(kSamples + "/export.csv");
  const auto run = RunCli("plot " + csv + " --x energy -o " + ShellQuote(dir / "a.png"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(dir.Entries().empty());
  const auto entered =
      RunCli("plot " + csv + " --x energy --csv-params 5,0.3,0.04,0,300 -o " + ShellQuote(dir / "a.png"));
  EXPECT_EQ(entered.exitCode, 0) << entered.err;
  EXPECT_EQ(RunCli("plot " + csv + " -o " + ShellQuote(dir / "a.jpg")).exitCode, 2);
}
#endif

}  // namespace
}  // namespace vantor
