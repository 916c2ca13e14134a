// SPDX-License-Identifier: GPL-3.0-or-later
// The chart's numbers without a display: x values on each axis, counts on
// a log axis, the ranges it opens on, the readout and the region sums.
#include <gtest/gtest.h>

#include "view/ChartModel.h"

namespace vantor {
namespace {

// Channels 1 to 4 at 0.601, 0.704, 0.809, 0.916 keV, and at 2theta 5 degrees (exact hc):
constexpr double kD[] = {236.47340744242277, 201.87573561490925, 175.67431133856127, 155.1534037913713};

ChartSpectrum Spectrum(std::vector<std::int32_t> counts, std::array<double, 3> egc = {0.5, 0.1, 0.001},
                       double twoTheta = 5) {
  ChartSpectrum s;
  s.counts = std::move(counts);
  s.header.Measure.EGC = egc;
  s.header.Measure.TwoTheta = twoTheta;
  return s;
}

TEST(ChartModel, PointsCarryTheAxisValue_AxesNeedCalibrationAndAngle) {
  const std::pair<ChartAxis, std::vector<double>> rows[] = {{ChartAxis::Channel, {1, 2, 3, 4}},
                                                            {ChartAxis::Energy, {0.601, 0.704, 0.809, 0.916}},
                                                            {ChartAxis::DSpacing, {kD[0], kD[1], kD[2], kD[3]}}};
  for (const auto& [axis, x] : rows) {
    const auto points = ChartPoints(Spectrum({0, 5, 10, 0}), axis, false);
    ASSERT_EQ(points.size(), x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
      EXPECT_NEAR(points[i].x, x[i], 1e-9 * x[i]) << i;
      EXPECT_EQ(points[i].y, (std::vector<double>{0, 5, 10, 0})[i]);
    }
  }
  const auto csv = Spectrum({1, 2}, {0, 0, 0}, 0);  // an analyser export read without entered values
  EXPECT_EQ(ChartPoints(csv, ChartAxis::Channel, false).size(), 2u);
  EXPECT_TRUE(ChartPoints(csv, ChartAxis::Energy, false).empty());
  EXPECT_TRUE(ChartPoints(Spectrum({1, 2}, {3, 0, 0}), ChartAxis::Energy, false).empty());  // constant energy
  EXPECT_TRUE(ChartPoints(Spectrum({1, 2}, {0.5, 0.1, 0}, 0), ChartAxis::DSpacing, false).empty());
  EXPECT_EQ(ChartPoints(Spectrum({1, 2}, {0.5, 0.1, 0}, 0), ChartAxis::Energy, false).size(), 2u);
  // Channels 1 and 2 have energies below and at 0: no d, no point; a negative 2theta gives no d axis.
  const auto points = ChartPoints(Spectrum({1, 2, 3}, {-0.2, 0.1, 0}), ChartAxis::DSpacing, false);
  ASSERT_EQ(points.size(), 1u);
  EXPECT_TRUE(points[0].y == 3 && points[0].x > 0);
  EXPECT_FALSE(AxisAvailable(Spectrum({1, 2}, {0.5, 0.1, 0}, -5), ChartAxis::DSpacing));
}

TEST(ChartModel, LogFloor_Ranges_Readout_Region) {
  // On a log axis zero and negative counts are drawn at its floor.
  const auto s = Spectrum({0, 5, -3, 1000});
  const auto points = ChartPoints(s, ChartAxis::Channel, true);
  EXPECT_TRUE(points[0].y == kLogFloor && points[1].y == 5 && points[2].y == kLogFloor);
  EXPECT_TRUE(CountRange({s}, true)[0] == kLogFloor && CountRange({s}, true)[1] > 1000);
  EXPECT_EQ(CountRange({Spectrum({250, 4000})}, true)[0], 100);  // the decade below the lowest count
  EXPECT_TRUE(CountRange({s}, false)[0] == -3 && CountRange({s}, false)[1] > 1000);
  // The d axis opens on the decade above the smallest d.
  const auto wide = Spectrum(std::vector<std::int32_t>(1000, 1), {0, 0.1, 0});  // 0.1 to 100 keV
  const double smallestD = ChartPoints(wide, ChartAxis::DSpacing, false).back().x;
  EXPECT_EQ(DefaultXRange({wide}, ChartAxis::DSpacing), (std::array<double, 2>{smallestD, 10 * smallestD}));
  const auto energy = DefaultXRange({wide}, ChartAxis::Energy);
  EXPECT_TRUE(std::abs(energy[0] - 0.1) < 1e-12 && std::abs(energy[1] - 100) < 1e-9);
  for (const auto& [span, step] : {std::pair{1000.0, 100.0}, {43.2, 5.0}, {0.15, 0.02}, {0.0, 1.0}})
    EXPECT_DOUBLE_EQ(TickStep(span, 10), step) << span;
  // The readout takes the nearest channel, the region sums the channels inside.
  const auto r = ReadoutAt(Spectrum({0, 5, 10, 0}), ChartAxis::Energy, 0.74);
  ASSERT_TRUE(r);
  EXPECT_TRUE(r->channel == 2 && r->count == 5 && std::abs(*r->energy - 0.704) < 1e-12);
  EXPECT_NEAR(*r->dSpacing, kD[1], 1e-9);
  EXPECT_FALSE(ReadoutAt(Spectrum({1}, {0, 0, 0}), ChartAxis::Energy, 1));
  EXPECT_FALSE(ReadoutAt(Spectrum({1}, {0, 0, 0}), ChartAxis::Channel, 1)->energy);
  const auto region = Spectrum({7, 5, 10, 9});
  const RegionSums sums = SumRegion(region, ChartAxis::Channel, 3.5, 1.5);  // channels 2 and 3
  EXPECT_TRUE(sums.channels == 2 && sums.counts == 15);
  EXPECT_NEAR(*sums.centroid, (2 * 5 + 3 * 10) / 15.0, 1e-12);
  const RegionSums d = SumRegion(region, ChartAxis::DSpacing, 170, 210);  // channels 2 and 3 again
  EXPECT_EQ(d.counts, 15);
  EXPECT_NEAR(*d.centroid, (kD[1] * 5 + kD[2] * 10) / 15, 1e-9);
  EXPECT_FALSE(SumRegion(Spectrum({0, 0}), ChartAxis::Channel, 0, 5).centroid);
}

// Lines cut to the view for pictures that cannot clip: parts end where the
// line crosses the edge; on a log axis the crossing is found in log y.
TEST(ChartModel, ClipToView_CutsAtTheEdges) {
  const ChartView view{0, 10, 0, 100};
  using Parts = std::vector<std::vector<std::pair<double, double>>>;
  const auto cut = [&](std::vector<ChartPoint> line, bool log, ChartView v) {
    Parts parts;
    for (const auto& part : ClipToView(line, v, log)) {
      parts.emplace_back();
      for (const auto& p : part) parts.back().emplace_back(p.x, p.y);
    }
    return parts;
  };
  EXPECT_EQ(cut({{5, 50}, {15, 50}}, false, view), (Parts{{{5, 50}, {10, 50}}}));
  EXPECT_EQ(cut({{-10, 0}, {20, 30}}, false, view), (Parts{{{0, 10}, {10, 20}}}));
  // Above the top and back: two parts.
  EXPECT_EQ(cut({{1, 50}, {2, 150}, {3, 150}, {4, 50}}, false, view), (Parts{{{1, 50}, {1.5, 100}}, {{3.5, 100}, {4, 50}}}));
  EXPECT_TRUE(cut({{11, 5}, {20, 5}, {30, 500}}, false, view).empty());
  EXPECT_EQ(cut({{5, 5}}, false, view), (Parts{{{5, 5}}}));
  const Parts log = cut({{0, 1}, {10, 10000}}, true, ChartView{0, 10, 1, 100});
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NEAR(log[0][1].first, 5, 1e-12);  // 100 is halfway in log y
  EXPECT_NEAR(log[0][1].second, 100, 1e-9);
}

}  // namespace
}  // namespace vantor
