// Standardisation and dropped items through hcluster, checked against values worked out
// here, and the chart left out for too many items. (Header rows, dialects and missing
// values are rows of bad_input_test.cpp.)
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
  const RunResult run = RunHcluster({dir.Write("big.csv", MetricRows(251)), "--chart", "-o", dir / "big.xlsx"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "") << "-o alone prints nothing";
  EXPECT_TRUE(HasLine(run.err, "hcluster: --chart: the chart is left out: it is drawn for at most 250 items, and this "
                               "analysis has 251"))
      << run.err;
}

}  // namespace
}  // namespace dez::cli::testing
