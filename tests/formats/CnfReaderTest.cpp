// SPDX-License-Identifier: GPL-3.0-or-later
// The analyser file reader in the template layout: both block bases, the
// number texts, the channel shift, short files.
#include <gtest/gtest.h>

#include <cstring>

#include "formats/Cnf.h"
#include "support/Parsed.h"

namespace vantor {
namespace {

// A file of `size` bytes with the given layout byte; counts 10, 20, 30, ...
// in file channels 0, 1, 2, ... (as far as the file holds them).
std::string CnfBytes(unsigned char layout, std::size_t size, const std::string& conditions = "15.5 300",
                     const std::string& angle = "5.0012", const std::string& calibration = "0.26673 0.042192") {
  const std::size_t base = layout == 0xB6 ? 4608 : 0;
  std::string bytes(size, '\0');
  bytes[11] = static_cast<char>(layout);
  const auto put = [&](std::size_t offset, const std::string& text) {
    std::memcpy(bytes.data() + base + offset, text.data(), text.size());
  };
  put(16944, "Fe3O4 15GPa"), put(17008, "EDX-00042"), put(17622, conditions), put(17774, angle),
      put(17966, calibration);
  for (std::size_t k = 0; k < 4096 && base + 25604 + 4 * k + 4 <= size; ++k) {
    const auto v = static_cast<std::uint32_t>(10 * (k + 1));
    std::memcpy(bytes.data() + base + 25604 + 4 * k, &v, 4);
  }
  return bytes;
}

TEST(CnfReader, BothLayouts_EveryField) {
  for (const auto& [layout, size] : {std::pair<unsigned char, std::size_t>{0xA4, 41984}, {0xB6, 46592}}) {
    const auto r = test::Parsed(CnfRecord, CnfBytes(layout, size));
    ASSERT_TRUE(r) << int{layout};
    // file channel k lands in channel k + 1; channel 0 repeats the first
    EXPECT_EQ(r->Data.DataNumber, 4096);
    EXPECT_EQ((std::array{r->Data.Count[0], r->Data.Count[1], r->Data.Count[2], r->Data.Count[4095]}),
              (std::array{10, 10, 20, 40950}));
    EXPECT_EQ(View(r->Head.Common.SampleTitle), "Fe3O4 15GPa" + std::string(53, '\0'));
    EXPECT_EQ(View(r->Head.Common.SampleID), "EDX-00042" + std::string(7, '\0') + std::string(48, ' '));
    const auto& m = r->Head.Measure;
    EXPECT_EQ((std::array{m.EGC[0], m.EGC[1], m.EGC[2], m.Pressure, m.Temperature, m.TwoTheta}),
              (std::array{0.26673, 0.042192, 0.0, 15.5, 300.0, 5.0012}));
  }
}

// The number texts: blanks or commas between numbers, missing numbers 0,
// words 0, a leading blank an empty first field; every truncated prefix
// fails.
TEST(CnfReader, NumberTexts_TruncatedFiles) {
  const auto read = [](const char* conditions, const char* angle, const char* calibration) {
    const auto record = test::Parsed(CnfRecord, CnfBytes(0xA4, 41984, conditions, angle, calibration));
    const auto& m = record->Head.Measure;  // the record outlives the reference
    return std::array{m.EGC[0], m.EGC[1], m.Pressure, m.Temperature, m.TwoTheta};
  };
  EXPECT_EQ(read("15", "5 6", "0.25, 0.5"), (std::array{0.25, 0.5, 15.0, 0.0, 5.0}));
  EXPECT_EQ(read("high hot", "x", "a b"), (std::array{0.0, 0.0, 0.0, 0.0, 0.0}));
  EXPECT_EQ(read(" 15 300", " 5", " 0.3 0.04"), (std::array{0.0, 0.3, 0.0, 15.0, 0.0}));
  for (const unsigned char layout : {0xA4, 0xB6}) {
    const std::string full = CnfBytes(layout, layout == 0xB6 ? 46592 : 41984);
    for (std::size_t n = 0; n < full.size(); ++n)
      ASSERT_FALSE(test::Parsed(CnfRecord, std::string_view(full).substr(0, n))) << n;
  }
}

}  // namespace
}  // namespace vantor
