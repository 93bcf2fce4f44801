// What hcluster reads and writes: .xlsx input, the -o workbook read back, the printed
// report wherever the report is placed, and the progress line, which shows on a terminal
// only (a run whose standard error is a file leaves it empty: membership_report_test.cpp).
#include <gtest/gtest.h>

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "io/workbook_reader.h"
#include "io/zip_archive.h"
#include "run_hcluster.h"

namespace dez::cli::testing {
namespace {

TEST(Files, XlsxInputWithOrWithoutARange) {
  // The animals example written by hcluster itself: the data sheet first, the report second.
  TempDir dir;
  const std::string book = dir / "animals.xlsx";
  const RunResult csv = RunHcluster({Example("animals.csv"), "-t", "binomial", "-l", "--print", "-o", book});
  ASSERT_EQ(csv.status, 0) << csv.err;
  EXPECT_TRUE(HasLine(csv.out, "Binomial Data Set = animals!$A$1:$J$10")) << csv.out;
  // The same report from the workbook: a qualified range, an unqualified one (the first
  // sheet), none (the used range of the first sheet).
  for (const std::vector<std::string>& range : {std::vector<std::string>{"-r", "animals!$A$1:$J$10"},
                                               std::vector<std::string>{"-r", "A1:J10"}, std::vector<std::string>{}}) {
    std::vector<std::string> args{book, "-t", "binomial", "-l"};
    args.insert(args.end(), range.begin(), range.end());
    EXPECT_EQ(RunHcluster(args).out, csv.out);
  }
}

TEST(Files, OutputWorkbookHoldsTheDataAndTheReport) {
  TempDir dir;
  const std::string output = dir / "iris-report.xlsx";
  const RunResult run =
      RunHcluster({Example("iris-sample.csv"), "-l", "--text-dendrogram", "--chart", "-o", output});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "") << "-o alone prints nothing";
  const auto app = embedded::EmbeddedApplication::Create();
  const auto book = io::WorkbookReader::Read(*app, output);
  ASSERT_GE(book->Sheets().size(), 2u);
  const auto& data = *book->Sheets()[0];
  EXPECT_EQ(data.Name(), "iris-sample");
  EXPECT_EQ(data.ValueAt(1, 1), Variant("setosa-1"));
  EXPECT_EQ(data.ValueAt(30, 5), Variant(2.5));
  EXPECT_EQ(book->Sheets()[1]->ValueAt(2, 1), Variant("Quantitative Data Set = iris-sample!$A$1:$E$30"));
  // The dendrogram chart is saved as a native chart of the report's sheet.
  const io::ZipArchive zip(output, "test");
  EXPECT_TRUE(zip.Contains("xl/charts/chart1.xml"));
  EXPECT_FALSE(zip.Contains("xl/charts/chart2.xml"));
  // Without --chart, the report's sheet and no chart.
  ASSERT_EQ(RunHcluster({Example("iris-sample.csv"), "-l", "-o", dir / "plain.xlsx"}).status, 0);
  EXPECT_TRUE(io::ZipArchive(dir / "plain.xlsx", "test").Contains("xl/worksheets/sheet2.xml"));
  EXPECT_FALSE(io::ZipArchive(dir / "plain.xlsx", "test").Contains("xl/charts/chart1.xml"));
}

TEST(Files, PrintShowsTheReportWhereverItIsPlaced) {
  const RunResult onNewSheet = RunHcluster({Example("iris-sample.csv"), "-l", "--text-dendrogram"});
  const RunResult beside =
      RunHcluster({Example("iris-sample.csv"), "-l", "--text-dendrogram", "--output-range", "'iris-sample'!$H$3"});
  ASSERT_EQ(onNewSheet.status, 0) << onNewSheet.err;
  ASSERT_EQ(beside.status, 0) << beside.err;
  EXPECT_EQ(beside.out, onNewSheet.out);
  EXPECT_EQ(Lines(beside.out).front(), "Hierarchical Clustering Results for:");
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
  const std::string quiet =
      TerminalErrorOutput({Example("iris-sample.csv"), "-l", "-M", "ward", "-q", "-o", dir / "r.xlsx"}, status);
  EXPECT_EQ(status, 0) << quiet;
  // The terminal turns "\n" into "\r\n".
  EXPECT_EQ(quiet, "Distance Measure: The Squared Euclidean Distance will be used for Wards Method.\r\n");
}

}  // namespace
}  // namespace dez::cli::testing
