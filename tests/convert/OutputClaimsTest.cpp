// SPDX-License-Identifier: GPL-3.0-or-later
// Which files of a run are refused before anything is written: an output
// that would replace a source of the run, or one an earlier file writes,
// paths compared as the file system sees them; the same refusals whether
// the check fits its memory or works through temporary files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "convert/OutputClaims.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

std::vector<std::string> Refusals(const std::vector<std::string>& paths, const OutputChoice& outputs,
                                  const std::string& folder, std::size_t memory) {
  OutputClaims claims(memory);
  for (std::size_t i = 0; i < paths.size(); ++i) EXPECT_TRUE(claims.Add(i, {paths[i], "xbm"}, outputs, folder));
  EXPECT_TRUE(claims.Finish());
  std::vector<std::string> said;
  for (std::size_t i = 0; i < paths.size(); ++i)
    if (const auto why = claims.Refusal(i)) said.push_back(paths[i] + ": " + *why);
  return said;
}

TEST(OutputClaims, LaterFileRefused_SourcesNeverReplaced_InMemoryOrOnDisk) {
  test::TempDir dir;
  std::filesystem::create_directories(dir / "d1");
  std::filesystem::create_directories(dir / "d2/sub");
  for (const char* name : {"d1/a.xbm", "d2/a.xbm", "p.xbm", "p_.XBM", "e.CSV"}) test::WriteAll(dir / name, name);
  ASSERT_EQ(::link((dir / "p.xbm").c_str(), (dir / "r.TXT").c_str()), 0);
  OutputChoice txtXbm{}, csv{};
  txtXbm[static_cast<int>(OutputKind::Txt)] = txtXbm[static_cast<int>(OutputKind::Xbm)] = true;
  csv[static_cast<int>(OutputKind::Csv)] = true;
  for (const std::size_t memory : {std::size_t{1} << 20, std::size_t{64}}) {
    SCOPED_TRACE(memory);
    // Into one folder: the second a.xbm writes what the first does.
    EXPECT_EQ(Refusals({dir / "d1/a.xbm", dir / "d2/a.xbm", dir / "missing.xbm"}, txtXbm, dir / "out", memory),
              std::vector<std::string>{dir / "d2/a.xbm" + ": " + dir / "out/a.TXT" + " is also the output of " +
                                       dir / "d1/a.xbm"});
    // Paths may hold tabs, line ends and backslashes, which the check's
    // lines escape.
    const std::string odd = "t\tab\n.xbm", first = dir / ("b\\1/" + odd), second = dir / ("b\\2/" + odd);
    EXPECT_EQ(Refusals({first, second}, txtXbm, dir / "out", memory),
              std::vector<std::string>{second + ": " + dir / "out/t\tab\n.TXT" + " is also the output of " + first});
    // Beside the sources: p.xbm would replace p_.XBM, read later, as would
    // p.xbm again under another spelling (whose TXT output p.xbm writes
    // too: the source's loss is the reason given); r.TXT is a hard link to
    // p.xbm.
    EXPECT_EQ(
        Refusals({dir / "p.xbm", dir / "p_.XBM", dir / "d2/sub/../../p.xbm", dir / "r.xbm"}, txtXbm, "", memory),
        (std::vector<std::string>{
            dir / "p.xbm" + ": its XBM output would replace " + dir / "p_.XBM" + ", a source of this run",
            dir / "d2/sub/../../p.xbm" + ": its XBM output would replace " + dir / "p_.XBM" + ", a source of this run",
            dir / "r.xbm" + ": its TXT output would replace " + dir / "p.xbm" + ", a source of this run"}));
    // Outputs not there yet meet by folder and name; e.CSV would write itself.
    EXPECT_EQ(Refusals({dir / "e.CSV", dir / "n.xbm", dir / "d1/../n.xbm"}, csv, "", memory),
              (std::vector<std::string>{
                  dir / "e.CSV" + ": its CSV output would replace this source",
                  dir / "d1/../n.xbm" + ": " + dir / "d1/../n.CSV" + " is also the output of " + dir / "n.xbm"}));
  }
}

}  // namespace
}  // namespace vantor
