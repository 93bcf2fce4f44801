// The user's own files through hcluster: header rows, CSV dialects, missing values, the
// cell named in a refusal, open ranges, standardisation and dropped items.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "io/workbook_reader.h"
#include "run_hcluster.h"

namespace dez::cli::testing {
namespace {

using Strings = std::vector<std::string>;
using Leaves = std::map<std::string, std::string>;

/// The texts of the JSON array at `path`, as a list.
Strings Texts(Leaves& json, const std::string& path) {
  Strings texts;
  for (int k = 0; json.count(path + "." + std::to_string(k)) != 0; ++k) texts.push_back(json[path + "." + std::to_string(k)]);
  return texts;
}

struct FileCase {
  const char* what;
  const char* file;
  const char* bytes;
  Strings args;
  int status;
  const char* errLine;  ///< a line standard error must hold ("..." for any text)
  Strings labels;       ///< with status 0: the items analysed
};

TEST(RealData, FilesAsSpreadsheetsExportThem) {
  const FileCase cases[] = {
      {"header row detected", "shops.csv", "Revenue,Visitors\n1,2\n3,5\n4,4\n", {}, 0,
       "hcluster: row 1 of the sheet shops holds texts over numbers: read as the variable names (--no-header reads it as data)",
       {"Row 2", "Row 3", "Row 4"}},
      {"header row refused with --no-header", "shops.csv", "Revenue,Visitors\n1,2\n3,5\n4,4\n", {"--no-header"}, 1,
       "  cell shops!A1 holds the text \"Revenue\": if row 1 is a header, add --header", {}},
      {"byte-order mark, CRLF and labels", "bom.csv", "\xEF\xBB\xBFStore,A,B\r\nN,1,2\r\nS,3,5\r\nE,4,4\r\n", {"-l"}, 0,
       "hcluster: row 1 of the sheet bom holds texts over numbers: ...", {"N", "S", "E"}},
      {"semicolons and decimal commas", "eu.csv", "Store;A;B\nN;\"1,5\";2\nS;3,25;5\nE;4;4,5\n", {"-l"}, 0,
       "hcluster: ...eu.csv: fields separated by ';', numbers with a decimal comma (detected; ...)", {"N", "S", "E"}},
      {"pipes given with --delimiter", "p.csv", "1|2\n3|5\n4|4\n", {"--delimiter", "|"}, 0, "", {"Row 1", "Row 2", "Row 3"}},
      {"NA in a TSV", "t.tsv", "a\tb\n1\t2\n3\tNA\n4\t4\n5\t1\n", {}, 1,
       "  cell t!B3 holds the text \"NA\": correct the cell, or add --missing drop to leave the item out", {}},
      {"NA dropped", "t.tsv", "a\tb\n1\t2\n3\tNA\n4\t4\n5\t1\n", {"--missing", "drop"}, 0,
       "hcluster: --missing drop left out 1 of 4 items (an empty or unfit cell): Row 3", {"Row 2", "Row 4", "Row 5"}},
      {"notes column", "n.csv", "Store,A,B,Notes\nN,1,2,new\nS,3,5,\nE,4,4,\n", {"-l"}, 1,
       "  cell n!D2 holds the text \"new\": if column D holds notes, leave it out: -r 'n!$A$2:$C$4'", {}},
      {"blank row", "b.csv", "1,2\n3,5\n\n4,4\n", {}, 1,
       "  cell b!A3 is empty: row 3 is empty: leave it out of the range, or add --missing drop", {}},
      {"decimal comma text in a comma file", "c.csv", "1,\"2,5\"\n3,5\n4,4\n", {}, 1,
       "  cell c!B1 holds the text \"2,5\": write the number with a decimal point (or, for a CSV file, add "
       "--decimal-comma)", {}},
      {"a percentage", "pc.csv", "1,12%\n3,5\n4,4\n", {}, 1,
       "  cell pc!B1 holds the text \"12%\": write the percentage as a number (0.12 for 12%)", {}},
      {"a 2 in binomial data", "bin.csv", "1,0\n0,2\n1,1\n", {"-t", "binomial"}, 1,
       "  cell bin!B2 holds 2: binomial data holds only 1 and 0", {}},
      {"open range", "o.csv", "x,1,2\nN,1,2\nS,3,5\nE,4,4\n", {"-r", "A2:C", "-l"}, 0, "", {"N", "S", "E"}},
      {"standardisation of a range that is not one block", "u.csv", "1,2\n3,5\n4,4\n",
       {"-r", "A1:B1,A2:B3", "--standardize", "z"}, 2,
       "hcluster: --missing drop and --standardize need a range of one block on a sheet of the input, such as "
       "'Data!A2:F'; \"A1:B1,A2:B3\" is none", {}},
      {"a variable without variation", "v.csv", "a,b\n1,7\n2,7\n3,7\n", {"--standardize", "range"}, 1,
       "hcluster: --standardize range: column B (\"b\") has no variation to scale by (every value the same); leave it "
       "out of the range", {}},
  };
  for (const FileCase& c : cases) {
    TempDir dir;
    Strings args{dir.Write(c.file, c.bytes), "--json", dir / "r.json"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const RunResult run = RunHcluster(args);
    EXPECT_EQ(run.status, c.status) << c.what << "\n" << run.err;
    if (*c.errLine != '\0') {
      EXPECT_TRUE(HasLine(run.err, c.errLine)) << c.what << "\n" << run.err;
    }
    if (c.status != 0) {
      EXPECT_FALSE(fs::exists(dir / "r.json")) << c.what;
      continue;
    }
    Leaves json = JsonLeaves(ReadAll(dir / "r.json"));
    EXPECT_EQ(Texts(json, "labels"), c.labels) << c.what;
  }
}

TEST(RealData, SheetNamesWithBlanksAndTheReportHeaderAddress) {
  TempDir dir;
  const std::string csv = dir.Write("Stores 2023.csv", "Store,Revenue,Visitors,Notes\nN,35.5,120,new\nS,41.2,95,\nE,28.9,140,\n");
  const std::string book = dir / "stores.xlsx";
  ASSERT_EQ(RunHcluster({csv, "-r", "B2:C3", "-o", book}).status, 0);
  // Unquoted, quoted, and as the report header writes it back.
  for (const std::string range : {"Stores 2023!A2:C", "'Stores 2023'!$A$2:$C$4", "stores 2023!A:C"}) {
    Strings args{book, "-r", range, "-l", "--print"};
    if (range.find("A:C") != std::string::npos) args.push_back("--header");
    const RunResult run = RunHcluster(args);
    EXPECT_EQ(run.status, 0) << range << run.err;
    EXPECT_TRUE(HasLine(run.out, "Quantitative Data Set = 'Stores 2023'!$A$2:$C$4")) << range << run.out;
  }
}

/// The standardised values of one variable, worked out here in long double.
std::vector<double> Expected(const std::vector<double>& x, const std::string& method) {
  long double sum = 0, min = x[0], max = x[0], magnitude = 0;
  for (const double v : x) {
    sum += v;
    min = std::min<long double>(min, v);
    max = std::max<long double>(max, v);
    magnitude = std::max<long double>(magnitude, std::fabs(v));
  }
  const long double mean = sum / x.size();
  long double squares = 0;
  for (const double v : x) squares += (v - mean) * (v - mean);
  const long double sd = std::sqrt(squares / (x.size() - 1));
  std::vector<double> out;
  for (const long double v : x) {
    if (method == "z") out.push_back(static_cast<double>((v - mean) / sd));
    if (method == "range") out.push_back(static_cast<double>((v - min) / (max - min)));
    if (method == "range-1-1") out.push_back(static_cast<double>(-1 + 2 * (v - min) / (max - min)));
    if (method == "max-1") out.push_back(static_cast<double>(v / magnitude));
    if (method == "mean-1") out.push_back(static_cast<double>(v / mean));
    if (method == "sd-1") out.push_back(static_cast<double>(v / sd));
  }
  return out;
}

TEST(RealData, StandardisationPerVariableAndDroppedItems) {
  // Revenue beside visitors per day; row 4 has a missing value and is dropped.
  const std::vector<std::vector<double>> columns{{35.48, 41.2, 28.9, 50.1, -3.5}, {1200, 950, 1400, 800, 1010}};
  const std::string csv = "Store;Revenue;Visitors\nN;35,48;1200\nS;41,2;950\nX;7;\nE;28,9;1400\nW;50,1;800\nZ;-3,5;1010\n";
  for (const std::string method : {"z", "range", "range-1-1", "max-1", "mean-1", "sd-1"}) {
    TempDir dir;
    const std::string out = dir / "r.xlsx";
    const RunResult run = RunHcluster({dir.Write("s.csv", csv), "-l", "--missing", "drop", "--standardize", method,
                                       "--json", dir / "r.json", "-o", out, "--print"});
    ASSERT_EQ(run.status, 0) << method << run.err;
    EXPECT_TRUE(HasLine(run.out, "Quantitative Data Set = s!$A$2:$C$7, standardised: ..., 1 item dropped")) << run.out;
    Leaves json = JsonLeaves(ReadAll(dir / "r.json"));
    EXPECT_EQ(Texts(json, "labels"), (Strings{"N", "S", "E", "W", "Z"}));
    EXPECT_EQ(Texts(json, "dropped"), Strings{"X"});
    EXPECT_EQ(Texts(json, "variables"), (Strings{"Revenue", "Visitors"}));
    EXPECT_EQ(json["input.standardization"], method);
    const std::vector<double> a = Expected(columns[0], method);
    const std::vector<double> b = Expected(columns[1], method);
    for (std::size_t i = 0; i < a.size(); ++i) {
      for (std::size_t j = 0; j < i; ++j) {
        const double expected = std::hypot(a[i] - a[j], b[i] - b[j]);
        EXPECT_NEAR(std::stod(json["distance_matrix." + std::to_string(i) + "." + std::to_string(j)]), expected, 1e-12 * expected) << method << i << j;
      }
    }
    // The written workbook holds the user's data as read and the report, nothing prepared.
    const auto app = embedded::EmbeddedApplication::Create();
    const auto book = io::WorkbookReader::Read(*app, out);
    ASSERT_EQ(book->Sheets().size(), 2u);
    EXPECT_TRUE(book->Sheets()[0]->ValueAt(4, 3).IsEmpty());
    EXPECT_EQ(book->Sheets()[0]->ValueAt(2, 2).number(), 35.48);
  }
}

TEST(RealData, ChartAboveTwoHundredFiftyItemsIsLeftOutWithAWord) {
  TempDir dir;
  std::string csv;
  for (int i = 0; i < 251; ++i) csv += std::to_string(i % 17) + "," + std::to_string(i % 13) + "\n";
  const RunResult run = RunHcluster({dir.Write("big.csv", csv), "--chart", "-o", dir / "big.xlsx"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(HasLine(run.err, "hcluster: --chart: the chart is left out: it is drawn for at most 250 items, and this "
                               "analysis has 251"))
      << run.err;
}

}  // namespace
}  // namespace dez::cli::testing
