// What hcluster does to each kind of destination, and that a failed output changes
// nothing: devices, FIFOs and standard output written in place, a symlink's target
// replaced, every output of a run put in place only when all are complete, temporary
// files gone after a signal. (A full disk is in bad_input_test, a missing folder in
// rules_test.)
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "run_hcluster.h"

namespace dez::cli::testing {
namespace {

const std::string kData = "a,1,2\nb,2,3\nc,5,1\n";

bool IsJson(const std::string& text) {
  return text.starts_with("{\"input\": ") && text.find("\n \"labels\": [\"a\", \"b\", \"c\"]") != std::string::npos &&
         text.ends_with("}\n");
}

mode_t ModeOf(const std::string& path, bool follow = true) {
  struct stat st {};
  if ((follow ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) return 0;
  return st.st_mode;
}

/// One destination: how to make it in the test's folder, the options naming it ("{dir}"
/// for the folder), the outcome, and what must hold afterwards besides the folder's
/// listing.
struct Destination {
  std::string name;
  std::function<void(const TempDir&)> make;
  std::vector<std::string> args;
  int status;
  std::string errLine;  // a line of standard error ("..." for any text), empty when none
  std::vector<std::string> files;  // the folder afterwards
  std::function<void(const TempDir&, const RunResult&)> check;
};

std::vector<Destination> Destinations() {
  const std::string longName = std::string(245, 'n') + ".json";  // 250 of NAME_MAX's 255
  return {
      {"device_node_written_in_place",
       [](const TempDir& d) { ::mknod((d / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)); },
       {"--json", "{dir}/null"}, 0, "", {"data.csv", "null"},
       [](const TempDir& d, const RunResult&) { EXPECT_TRUE(S_ISCHR(ModeOf(d / "null"))); }},
      {"failing_device_leaves_the_other_output",
       [](const TempDir& d) {
         ::mknod((d / "full").c_str(), S_IFCHR | 0666, makedev(1, 7));
         d.Write("report.xlsx", "old report");
       },
       {"-o", "{dir}/report.xlsx", "--json", "{dir}/full"}, 2,
       "hcluster: cannot write the output: {dir}/full: cannot write: No space left on device",
       {"data.csv", "full", "report.xlsx"},
       [](const TempDir& d, const RunResult&) { EXPECT_EQ(ReadAll(d / "report.xlsx"), "old report"); }},
      {"symlink_target_replaced",
       [](const TempDir& d) {
         d.Write("real.json", "old");
         ::chmod((d / "real.json").c_str(), 04755);
         fs::create_symlink("real.json", d / "link.json");
       },
       {"--json", "{dir}/link.json"}, 0, "", {"data.csv", "link.json", "real.json"},
       [](const TempDir& d, const RunResult&) {
         EXPECT_TRUE(S_ISLNK(ModeOf(d / "link.json", false)));
         EXPECT_TRUE(IsJson(ReadAll(d / "real.json")));
         EXPECT_EQ(ModeOf(d / "real.json") & 07777, 0755u);  // the bits kept, never setuid
       }},
      {"long_name", nullptr, {"--json", "{dir}/" + longName}, 0, "", {"data.csv", longName},
       [longName](const TempDir& d, const RunResult&) { EXPECT_TRUE(IsJson(ReadAll(d / longName))); }},
      {"standard_output_by_name", nullptr, {"--json", "/dev/stdout"}, 0, "", {"data.csv"},
       [](const TempDir&, const RunResult& run) { EXPECT_TRUE(IsJson(run.out)); }},
  };
}

TEST(OutputDestinations, EachKindIsWrittenAsPromised) {
  for (const Destination& c : Destinations()) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string input = dir.Write("data.csv", kData);
    if (c.make) c.make(dir);
    std::vector<std::string> args{input, "-l"};
    for (const std::string& arg : c.args) args.push_back(WithDir(arg, dir));
    const RunResult run = RunHcluster(args);
    EXPECT_EQ(run.status, c.status) << run.err;
    if (!c.errLine.empty()) {
      EXPECT_TRUE(HasLine(run.err, WithDir(c.errLine, dir))) << run.err;
    }
    EXPECT_EQ(FilesIn(dir.path()), c.files);
    c.check(dir, run);
  }
}

TEST(OutputDestinations, FifoWithAReaderGetsTheOutput) {
  TempDir dir;
  const std::string input = dir.Write("data.csv", kData);
  const std::string fifo = dir / "results.json";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = ReadAll(fifo); });
  const RunResult run = RunHcluster({input, "-l", "--json", fifo});
  reader.join();
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(IsJson(received)) << received;
  EXPECT_TRUE(S_ISFIFO(ModeOf(fifo)));
}

TEST(OutputDestinations, StandardOutputWriteErrorsFailTheRun) {
  TempDir dir;
  const std::string input = dir.Write("data.csv", kData);
  for (const std::string option : {"--json -", "--print"}) {
    SCOPED_TRACE(option);
    const std::string command = std::string("'") + HCLUSTER_PATH + "' '" + input + "' -l " + option +
                                " > /dev/full 2> '" + (dir / "err") + "'";
    const int status = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_TRUE(HasLine(ReadAll(dir / "err"), "hcluster: cannot write to standard output: No space left on device"));
  }
}

TEST(OutputDestinations, TerminationSignalRemovesTheTemporaryFile) {
  TempDir dir;
  const std::string input = dir.Write("data.csv", MetricRows(800));
  const std::string output = dir / "report.xlsx";
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::execl(HCLUSTER_PATH, HCLUSTER_PATH, input.c_str(), "-q", "-o", output.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  // Wait for the temporary file to appear beside the destination, then stop the run.
  bool seen = false;
  for (int i = 0; i < 30'000 && !seen; ++i) {
    for (const std::string& name : FilesIn(dir.path())) seen = seen || name.starts_with(".report.xlsx.hcluster-");
    if (!seen) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ::kill(pid, SIGTERM);
  int status = 0;
  ::waitpid(pid, &status, 0);
  ASSERT_TRUE(seen) << "the run ended before its temporary file was seen";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGTERM) << status;
  EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"data.csv"}) << ::testing::PrintToString(FilesIn(dir.path()));
}

}  // namespace
}  // namespace dez::cli::testing
