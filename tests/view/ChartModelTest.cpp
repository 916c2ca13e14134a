// SPDX-License-Identifier: GPL-3.0-or-later
// The chart's numbers without a display: x values on each axis, counts on
// a log axis, the ranges it opens on, the readout and the region sums.
#include <gtest/gtest.h>

#include "view/ChartModel.h"

namespace vantor {
namespace {

ChartSpectrum Spectrum(std::vector<std::int32_t> counts, std::array<double, 3> egc = {0.5, 0.1, 0.001},
                       double twoTheta = 5) {
  ChartSpectrum s;
  s.counts = std::move(counts);
  s.header.Measure.EGC = egc;
  s.header.Measure.TwoTheta = twoTheta;
  return s;
}

std::vector<double> Xs(const std::vector<ChartPoint>& points) {
  std::vector<double> xs;
  for (const auto& p : points) xs.push_back(p.x);
  return xs;
}

// ---- x values: channel number, energy with its quadratic term, d

struct AxisRow {
  ChartAxis axis;
  std::vector<double> x;
};

class ChartAxisTest : public testing::TestWithParam<AxisRow> {};

TEST_P(ChartAxisTest, PointsCarryTheAxisValueOfEveryChannel) {
  const auto points = ChartPoints(Spectrum({0, 5, 10, 0}), GetParam().axis, false);
  const auto& expected = GetParam().x;
  ASSERT_EQ(points.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(points[i].x, expected[i], 1e-9 * expected[i]) << i;
    EXPECT_EQ(points[i].y, (std::vector<double>{0, 5, 10, 0})[i]);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Axes, ChartAxisTest,
    testing::Values(AxisRow{ChartAxis::Channel, {1, 2, 3, 4}}, AxisRow{ChartAxis::Energy, {0.601, 0.704, 0.809, 0.916}},
                    AxisRow{ChartAxis::DSpacing,
                            {236.46730711345424, 201.87052780566194, 175.66977945016808, 155.14940128295416}}));

TEST(ChartModel, AxesWithoutCalibrationOrAngleHaveNoPoints) {
  const auto csv = Spectrum({1, 2}, {0, 0, 0}, 0);  // an analyser export read without entered values
  EXPECT_EQ(ChartPoints(csv, ChartAxis::Channel, false).size(), 2u);
  EXPECT_TRUE(ChartPoints(csv, ChartAxis::Energy, false).empty());
  EXPECT_TRUE(ChartPoints(Spectrum({1, 2}, {3, 0, 0}), ChartAxis::Energy, false).empty());  // constant energy
  EXPECT_TRUE(ChartPoints(Spectrum({1, 2}, {0.5, 0.1, 0}, 0), ChartAxis::DSpacing, false).empty());
  EXPECT_EQ(ChartPoints(Spectrum({1, 2}, {0.5, 0.1, 0}, 0), ChartAxis::Energy, false).size(), 2u);
}

TEST(ChartModel, ChannelWhereNoDCanBeFormedIsLeftOut) {
  // Channel 2 has energy 0.
  const auto points = ChartPoints(Spectrum({1, 2, 3}, {-0.2, 0.1, 0}), ChartAxis::DSpacing, false);
  ASSERT_EQ(points.size(), 2u);
  EXPECT_EQ(points[0].y, 1);
  EXPECT_EQ(points[1].y, 3);
  EXPECT_LT(points[0].x, 0);  // a negative energy gives a negative d, which is still drawn where it falls
}

// ---- counts: log axis, ranges

TEST(ChartModel, LogAxisDrawsZeroAndNegativeCountsAtItsFloor) {
  const auto s = Spectrum({0, 5, -3, 1000});
  const auto points = ChartPoints(s, ChartAxis::Channel, true);
  EXPECT_EQ(points[0].y, kLogFloor);
  EXPECT_EQ(points[1].y, 5);
  EXPECT_EQ(points[2].y, kLogFloor);
  const auto range = CountRange({s}, true);
  EXPECT_EQ(range[0], kLogFloor);
  EXPECT_GT(range[1], 1000);
  // Without a zero count the log axis starts at the decade below the lowest.
  EXPECT_EQ(CountRange({Spectrum({250, 4000})}, true)[0], 100);
  const auto linear = CountRange({s}, false);
  EXPECT_EQ(linear[0], -3);
  EXPECT_GT(linear[1], 1000);
}

TEST(ChartModel, DAxisOpensOnTheDecadeAboveTheSmallestD) {
  const auto wide = Spectrum(std::vector<std::int32_t>(1000, 1), {0, 0.1, 0});  // 0.1 to 100 keV
  const auto range = DefaultXRange({wide}, ChartAxis::DSpacing);
  const auto all = Xs(ChartPoints(wide, ChartAxis::DSpacing, false));
  EXPECT_DOUBLE_EQ(range[0], all.back());
  EXPECT_DOUBLE_EQ(range[1], 10 * all.back());
  EXPECT_GT(all.front(), range[1]);
  const auto energy = DefaultXRange({wide}, ChartAxis::Energy);
  EXPECT_NEAR(energy[0], 0.1, 1e-12);
  EXPECT_NEAR(energy[1], 100, 1e-9);
}

// ---- readout and region

TEST(ChartModel, ReadoutTakesTheNearestChannel) {
  const auto s = Spectrum({0, 5, 10, 0});
  const auto r = ReadoutAt(s, ChartAxis::Energy, 0.74);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->channel, 2);
  EXPECT_EQ(r->count, 5);
  EXPECT_NEAR(*r->energy, 0.704, 1e-12);
  EXPECT_NEAR(*r->dSpacing, 201.87052780566194, 1e-9);
  EXPECT_FALSE(ReadoutAt(Spectrum({1}, {0, 0, 0}), ChartAxis::Energy, 1));
  EXPECT_FALSE(ReadoutAt(Spectrum({1}, {0, 0, 0}), ChartAxis::Channel, 1)->energy);
}

TEST(ChartModel, RegionSumsCountsAndCentroidOfTheChannelsInside) {
  const auto s = Spectrum({7, 5, 10, 9});
  const RegionSums sums = SumRegion(s, ChartAxis::Channel, 3.5, 1.5);  // channels 2 and 3
  EXPECT_EQ(sums.channels, 2);
  EXPECT_EQ(sums.counts, 15);
  EXPECT_NEAR(*sums.centroid, (2 * 5 + 3 * 10) / 15.0, 1e-12);
  const RegionSums d = SumRegion(s, ChartAxis::DSpacing, 170, 210);  // channels 2 and 3 again
  EXPECT_EQ(d.counts, 15);
  EXPECT_NEAR(*d.centroid, (201.87052780566194 * 5 + 175.66977945016808 * 10) / 15, 1e-9);
  EXPECT_FALSE(SumRegion(Spectrum({0, 0}), ChartAxis::Channel, 0, 5).centroid);
}

TEST(ChartModel, TickStepIsOneTwoOrFiveTimesAPowerOfTen) {
  EXPECT_DOUBLE_EQ(TickStep(1000, 10), 100);
  EXPECT_DOUBLE_EQ(TickStep(43.2, 10), 5);
  EXPECT_DOUBLE_EQ(TickStep(0.15, 10), 0.02);
  EXPECT_DOUBLE_EQ(TickStep(0, 10), 1);
}

}  // namespace
}  // namespace vantor
