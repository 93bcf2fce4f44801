// What hcluster reads and writes: .xlsx input with every form of range, the -o
// workbook, the printed report wherever the report is placed, and the progress line,
// which shows on a terminal only (a run whose standard error is a file leaves it empty:
// membership_report_test.cpp).
#include <gtest/gtest.h>

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <thread>
#include <vector>

#include "io/zip_archive.h"
#include "run_hcluster.h"

namespace dez::cli::testing {
namespace {

TEST(Files, XlsxInputWithEachFormOfRange) {
  // The animals written as a workbook by hcluster itself, on a sheet whose name holds a
  // blank: the data sheet first, the report second, no chart without --chart.
  TempDir dir;
  const std::string book = dir / "zoo.xlsx";
  const std::string csv = dir.Write("Zoo animals.csv", ReadAll(Example("animals.csv")));
  const RunResult fromCsv = RunHcluster({csv, "-t", "binomial", "-l", "--print", "-o", book});
  ASSERT_EQ(fromCsv.status, 0) << fromCsv.err;
  EXPECT_EQ(Lines(fromCsv.out).front(), "Hierarchical Clustering Results for:");
  EXPECT_TRUE(HasLine(fromCsv.out, "Binomial Data Set = 'Zoo animals'!$A$1:$J$10")) << fromCsv.out;
  EXPECT_EQ(fromCsv.out.find("Cluster Membership"), std::string::npos) << "only with --clusters or --cut";
  EXPECT_TRUE(io::ZipArchive(book, "test").Contains("xl/worksheets/sheet2.xml"));
  EXPECT_FALSE(io::ZipArchive(book, "test").Contains("xl/charts/chart1.xml"));
  // The same report from the workbook: the sheet's name unquoted, quoted, in other
  // letters with open columns; an address without a sheet (the first sheet); no range
  // (the used range of the first sheet). The printed report is the same wherever the
  // report is placed.
  for (const std::vector<std::string>& range : std::vector<std::vector<std::string>>{
           {"-r", "Zoo animals!A1:J10"}, {"-r", "'Zoo animals'!$A$1:$J$10"}, {"-r", "zoo ANIMALS!A:J"},
           {"-r", "A1:J10"}, {}, {"--output-range", "'Zoo animals'!$L$3"}}) {
    std::vector<std::string> args{book, "-t", "binomial", "-l"};
    args.insert(args.end(), range.begin(), range.end());
    EXPECT_EQ(RunHcluster(args).out, fromCsv.out) << ::testing::PrintToString(range);
  }
  // A range on the second sheet (the report's) reads that sheet, where the data are not.
  const RunResult second = RunHcluster({book, "-t", "binomial", "-r", "Sheet1!A1:J10"});
  EXPECT_EQ(second.status, 1);
  EXPECT_NE(second.err.find("cell Sheet1!A1 holds the text"), std::string::npos) << second.err;
}

/// Runs hcluster with standard error on a pseudo-terminal and returns what the terminal
/// received; standard output goes to a file.
std::string TerminalErrorOutput(const std::vector<std::string>& args, int& status) {
  int master = -1;
  int slave = -1;
  if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return "openpty failed";
  // Read while the child runs, so that it never blocks on a full terminal buffer; once
  // the last copy of the terminal's other end is closed, reading ends (EIO).
  std::string received;
  std::thread reader([&] {
    char buffer[4096];
    for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR);) {
      if (n > 0) received.append(buffer, static_cast<std::size_t>(n));
    }
  });
  status = RunHcluster(args, slave).status;
  ::close(slave);
  reader.join();
  ::close(master);
  return received;
}

TEST(Progress, ShownOnATerminalAndErasedAtTheEndOrOnlyTheNoticeWhenQuiet) {
  TempDir dir;
  int status = -1;
  const std::string terminal =
      TerminalErrorOutput({Example("iris-sample.csv"), "-l", "--chart", "-o", dir / "r.xlsx"}, status);
  EXPECT_EQ(status, 0) << terminal;
  for (const std::string& step : std::vector<std::string>{"reading ", "building the matrix",
                                                         "agglomeration steps 100%", "writing " + (dir / "r.xlsx")}) {
    EXPECT_NE(terminal.find("\rhcluster: " + step), std::string::npos) << step << "\n" << terminal;
  }
  // The last thing written erases the line.
  EXPECT_EQ(terminal.substr(terminal.size() - 4), "\r\033[K") << terminal;
  // The dendrogram chart is saved as a native chart of the report's sheet.
  EXPECT_TRUE(io::ZipArchive(dir / "r.xlsx", "test").Contains("xl/charts/chart1.xml"));
  const std::string quiet =
      TerminalErrorOutput({Example("iris-sample.csv"), "-l", "-M", "ward", "-q", "-o", dir / "r.xlsx"}, status);
  EXPECT_EQ(status, 0) << quiet;
  // The terminal turns "\n" into "\r\n".
  EXPECT_EQ(quiet, "Distance Measure: The Squared Euclidean Distance will be used for Wards Method.\r\n");
}

}  // namespace
}  // namespace dez::cli::testing
