// SPDX-License-Identifier: GPL-3.0-or-later
// vantor-cli watch: started on a folder, a file dropped in after it has
// converted the ones already there, stopped with SIGINT. Waits are bounded,
// never timed. What stops a watch before it starts is in cli-cases.txt.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <regex>
#include <thread>

#include "bench/PressureSpectra.h"
#include "formats/RecordFile.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;

bool WaitFor(const std::function<bool()>& done, int tries = 300) {
  for (int i = 0; i < tries; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(50)))
    if (done()) return true;
  return false;
}

// Runs `vantor-cli watch ARGS FOLDER`, standard error into `err` (and output into `out`).
pid_t StartWatch(std::vector<std::string> args, const std::string& err, bool poll, const std::string& out = "") {
  args.insert(args.begin(), {VANTOR_CLI_PATH, "watch"});
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (!out.empty()) posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::string path = "PATH=/usr/bin:/bin", polled = "VANTOR_WATCH_POLL=1";
  std::vector<char*> envp = {path.data(), poll ? polled.data() : nullptr, nullptr};
  pid_t pid = 0;
  EXPECT_EQ(posix_spawn(&pid, VANTOR_CLI_PATH, &actions, nullptr, argv.data(), envp.data()), 0);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

int Stop(pid_t pid) {
  ::kill(pid, SIGINT);
  int status = 0;
  EXPECT_EQ(::waitpid(pid, &status, 0), pid);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The text with every "FOLDER/" taken out, so that its lines name the files alone.
std::string WithoutFolder(std::string text, const std::string& folder) {
  for (auto at = text.find(folder + "/"); at != std::string::npos; at = text.find(folder + "/"))
    text.erase(at, folder.size() + 1);
  return text;
}

class WatchCliTest : public ::testing::TestWithParam<bool> {
 protected:
  test::TempDir dir;
  const std::string err = dir / "err", in = dir / "in";
};

TEST_P(WatchCliTest, ConvertsTheFilesThereAndEachNewOne) {
  fs::create_directory(in);
  fs::copy_file(VANTOR_SAMPLES_DIR "/run0001.xbm", in + "/old.xbm");
  const pid_t pid = StartWatch({"--to", "txt", "--out-dir", dir / "out", in}, err, GetParam());
  EXPECT_TRUE(WaitFor([&] { return ReadAll(err).find("old.xbm: converted") != std::string::npos; }));
  test::WriteAll(in + "/new.xbm", ReadAll(in + "/old.xbm"));
  EXPECT_TRUE(WaitFor([&] { return fs::exists(dir / "out/new.TXT"); }));
  // Linked in, hard or symbolic: complete as it appears, with no write to wait for.
  fs::copy_file(VANTOR_SAMPLES_DIR "/run0001.xbm", dir / "kept.xbm");
  fs::create_hard_link(dir / "kept.xbm", in + "/hard.xbm");
  EXPECT_TRUE(WaitFor([&] { return fs::exists(dir / "out/hard.TXT"); }));
  fs::create_symlink(dir / "kept.xbm", in + "/soft.xbm");
  EXPECT_TRUE(WaitFor([&] { return fs::exists(dir / "out/soft.TXT"); }));
  EXPECT_EQ(Stop(pid), 0);
  EXPECT_EQ(ReadAll(err), in + "/old.xbm: converted\n" + in + "/new.xbm: converted\n" + in + "/hard.xbm: converted\n" +
                              in + "/soft.xbm: converted\n" + "4 files: 4 converted, 0 failed, 0 skipped; outputs in " +
                              dir / "out" + "\n");
  for (const char* name : {"out/new.TXT", "out/hard.TXT", "out/soft.TXT"})
    EXPECT_EQ(ReadAll(dir / name), ReadAll(dir / "out/old.TXT")) << name;
}

INSTANTIATE_TEST_SUITE_P(NotifiedOrPolled, WatchCliTest, ::testing::Bool());

// --new-only leaves the file there at the start alone; a CSV source takes
// the parameter entry. The watch says nothing when it has listed the folder,
// so new files are dropped in one after another until one is converted.
TEST_F(WatchCliTest, NewOnly_CsvSourcesTakeTheParameters) {
  fs::create_directory(in);
  fs::copy_file(VANTOR_SAMPLES_DIR "/export.csv", in + "/old.csv");
  const pid_t pid = StartWatch(
      {"--to", "xbm", "--from", "csv", "--csv-params", "5,0.1,0.04,0,300", "--new-only", "--out-dir", dir / "out", in},
      err, false);
  std::string name;
  for (int i = 0; i < 10 && name.empty(); ++i) {
    fs::copy_file(VANTOR_SAMPLES_DIR "/export.csv", in + "/new" + std::to_string(i) + ".csv");
    if (WaitFor([&] { return fs::exists(dir / ("out/new" + std::to_string(i) + "_.XBM")); }, 40))
      name = "new" + std::to_string(i);
  }
  EXPECT_EQ(Stop(pid), 0);
  EXPECT_EQ(ReadAll(err), in + "/" + name + ".csv: converted\n1 file: 1 converted, 0 failed, 0 skipped; outputs in " +
                              dir / "out" + "\n");
  SpectrumRecord r;
  ASSERT_TRUE(RecordFileRecord(ReadAll(dir / ("out/" + name + "_.XBM")), r));
  EXPECT_EQ(r.Head.Measure.TwoTheta, 5);
  EXPECT_FALSE(fs::exists(dir / "out/old_.XBM"));
}

// Outputs beside their sources: an earlier run's e1.CSV, listed before
// e1.csv, is e1.csv's output, never a source. A source written again is
// converted again with --force and skipped without it; each file counts
// once in the summary, by what became of it last.
TEST_F(WatchCliTest, OutputsBesideSourcesAreNoSources_RewrittenSourceCountedOnce) {
  for (const bool force : {true, false}) {
    SCOPED_TRACE(force);
    fs::remove_all(in);
    fs::create_directory(in);
    for (const char* name : {"e1.csv", "e2.csv"}) fs::copy_file(VANTOR_SAMPLES_DIR "/export.csv", in + "/" + name);
    test::WriteAll(in + "/e1.CSV", "an earlier run's table");
    std::vector<std::string> args{"--to", "csv", "--from", "csv", "--csv-params", "5,0.1,0.04,0,300", in};
    if (force) args.insert(args.begin(), "--force");
    const pid_t pid = StartWatch(args, err, false);
    EXPECT_TRUE(WaitFor([&] { return ReadAll(err).find("e2.csv") != std::string::npos; }));
    test::WriteAll(in + "/e2.csv", ReadAll(VANTOR_SAMPLES_DIR "/export.csv") + "\r\n");
    const std::string again = force ? "e2.csv: converted\n" : "File already exist. Replace?(" + in + "/e2.CSV)\n";
    EXPECT_TRUE(
        WaitFor([&] { return ReadAll(err).find(again, ReadAll(err).find("e2.csv") + 6) != std::string::npos; }));
    EXPECT_EQ(Stop(pid), force ? 0 : 1);
    const std::string e1 = force ? in + "/e1.csv: converted\n" : "File already exist. Replace?(" + in + "/e1.CSV)\n";
    const std::string e2 = in + "/e2.csv: converted\n";
    EXPECT_EQ(ReadAll(err), e1 + e2 + (force ? e2 : "File already exist. Replace?(" + in + "/e2.CSV)\n") +
                                (force ? "2 files: 2 converted, 0 failed, 0 skipped\n"
                                       : "2 files: 0 converted, 0 failed, 2 skipped\n"));
  }
  // Two sources with one output: the second is refused, whatever --force says.
  fs::remove_all(in);
  fs::create_directory(in);
  for (const char* name : {"x.CSV", "x.csv"}) fs::copy_file(VANTOR_SAMPLES_DIR "/export.csv", in + "/" + name);
  const pid_t pid =
      StartWatch({"--force", "--to", "txt", "--from", "csv", "--csv-params", "5,0.1,0.04,0,300", in}, err, false);
  EXPECT_TRUE(WaitFor([&] { return ReadAll(err).find("x.csv") != std::string::npos; }));
  EXPECT_EQ(Stop(pid), 1);
  EXPECT_EQ(ReadAll(err), in + "/x.CSV: converted\n" + in + "/x.csv: " + in + "/x.TXT is also the output of " + in +
                              "/x.CSV\n2 files: 1 converted, 1 failed, 0 skipped\n");
}

// --pressure: each converted file's pressure printed as it is known, its row
// added to the table, which stays sorted by measurement time (b.xbm, dropped
// in second, was measured first).
TEST_F(WatchCliTest, Pressure_PrintedAndTabledAsEachFileArrives) {
  fs::create_directory(in);
  const auto put = [&](const std::string& name, std::uint32_t seed) {
    bench::StandardScene scene;
    scene.pressureGPa = 12, scene.seed = seed;
    const SpectrumRecord r = bench::GenerateStandardSpectrum(scene).record;
    test::WriteAll(in + "/" + name, RecordFileBytes(r.Data, r.Head));
  };
  put("a.xbm", 9);
  const std::string out = dir / "out.txt", table = dir / "p.csv";
  const pid_t pid =
      StartWatch({"--to", "txt", "--out-dir", dir / "o", "--pressure", "au", "--table", table, in}, err, false, out);
  EXPECT_TRUE(WaitFor([&] { return ReadAll(table).find("a.xbm") != std::string::npos; }));
  put("b.xbm", 5);
  EXPECT_TRUE(WaitFor([&] { return ReadAll(table).find("b.xbm") != std::string::npos; }));
  EXPECT_EQ(Stop(pid), 0);
  // 12 GPa at 300 K: the truth, within the 0.1 GPa the generated spectra give it.
  const std::string lines = WithoutFolder(ReadAll(out), in);
  const std::string line = "[ab]\\.xbm: (11\\.9|12\\.0)[0-9]* ± 0\\.0[0-9]+ GPa at 300 K \\(Au, Fei2007\\)\n";
  EXPECT_TRUE(std::regex_match(lines, std::regex("(" + line + "){2}"))) << lines;
  EXPECT_LT(ReadAll(table).find("/b.xbm,,2016-11-05,00:00:05,300,"), ReadAll(table).find("/a.xbm,"));
}

// A file of a detector ring, with a calibration that places its elements:
// the cell's short line follows its elements' (all at 12 GPa here, so the
// cell is too).
TEST_F(WatchCliTest, Pressure_RingFile_CellAfterItsElements) {
  fs::create_directory(in);
  constexpr int kElements = 4;
  std::vector<std::vector<std::int32_t>> counts;
  for (int e = 0; e < kElements; ++e) {
    bench::StandardScene scene;
    scene.pressureGPa = 12, scene.seed = static_cast<std::uint32_t>(20 + e);
    counts.push_back(bench::GenerateStandardSpectrum(scene).spectrum.counts);
  }
  // The scene's calibration 0.05 + 0.0335 x with x from 1, as the file's from 0.
  std::string med =
      "VERSION: 3.1\nELEMENTS: 4\nCHANNELS: 4096\nCAL_OFFSET: 0.0835 0.0835 0.0835 0.0835\n"
      "CAL_SLOPE: 0.0335 0.0335 0.0335 0.0335\nCAL_QUAD: 0 0 0 0\nTWO_THETA: 6.5 6.5 6.5 6.5\nDATA:\n";
  for (std::size_t k = 0; k < counts[0].size(); ++k) {
    for (int e = 0; e < kElements; ++e) med += std::to_string(counts[e][k]) + (e + 1 < kElements ? " " : "\n");
  }
  std::string calibration = R"({"vantor_calibration": 1, "elements": {)";
  for (int e = 1; e <= kElements; ++e) {
    calibration += (e > 1 ? "," : "") + ("\"" + std::to_string(e) + "\"") +
                   R"(: {"two_theta": {"value": 6.5, "sigma": 0, "azimuth": )" + std::to_string(45 * e) + "}}";
  }
  test::WriteAll(dir / "ring.json", calibration + "}}");
  const std::string out = dir / "out.txt";
  const pid_t pid = StartWatch({"--from", "med", "--to", "txt", "--out-dir", dir / "o", "--pressure", "au",
                                "--calibration", dir / "ring.json", in},
                               err, false, out);
  test::WriteAll(in + "/ring.med", med);
  EXPECT_TRUE(WaitFor([&] { return ReadAll(out).find("cell") != std::string::npos; }));
  EXPECT_EQ(Stop(pid), 0);
  const std::string element = "ring\\.med:[1-4]: (11\\.9|12\\.0)[0-9]* ± 0\\.[0-9]+ GPa at 300 K \\(Au, Fei2007\\)\n";
  const std::string cell =
      "ring\\.med: cell (11\\.9|12\\.0)[0-9]* ± 0\\.[0-9]+ GPa at 300 K \\(Au, Fei2007\\), strain Q = "
      "-?0\\.[0-9]+ ± 0\\.[0-9]+\n";
  const std::string lines = WithoutFolder(ReadAll(out), in);
  EXPECT_TRUE(std::regex_match(lines, std::regex("(" + element + "){4}" + cell))) << lines;
}

}  // namespace
}  // namespace vantor
