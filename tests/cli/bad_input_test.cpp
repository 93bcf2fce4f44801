// Input files through the binary, as a table: files that are missing, unreadable, empty,
// truncated, corrupt, mislabelled or hostile; cells the checks refuse; label cells of
// every kind; header rows, dialects and missing values; refused ranges and sizes;
// workbooks a report cannot be added to. Every case checks the exit status and the
// message, that standard output stays empty on failure, that no output file is created
// and an existing one keeps its bytes, that no temporary file is left behind, and that
// the input keeps its bytes and times. Then the faults: unreadable, read-only and
// immutable input, a full disk for the output.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <map>
#include <string>
#include <vector>

#include "run_hcluster.h"
#include "tests/io/xlsx_fixture.h"
#include "tests/support/needs.h"

namespace dez::cli::testing {
namespace {

namespace fs = std::filesystem;

// ---- making input files --------------------------------------------------------------

/// The bytes of a zip archive holding `members` (name -> content).
std::string ZipBytes(const std::map<std::string, std::string>& members) {
  TempDir scratch;
  io::testing::WriteZip(scratch / "zip", members);
  return ReadAll(scratch / "zip");
}

// Cells of a <row>, as the XML of the file.
std::string Num(const std::string& v) { return "<c><v>" + v + "</v></c>"; }
std::string Text(const std::string& v) { return "<c t=\"inlineStr\"><is><t>" + v + "</t></is></c>"; }
std::string Err(const std::string& v) { return "<c t=\"e\"><v>" + v + "</v></c>"; }
std::string Row(const std::vector<std::string>& cells) {
  std::string xml = "<row>";
  for (const std::string& c : cells) xml += c;
  return xml + "</row>";
}
/// A 3 x 3 block of numbers whose middle cell is `middle`.
std::string Square(const std::string& middle) {
  return Row({Num("0"), Num("2"), Num("5")}) + Row({Num("2"), middle, Num("4")}) +
         Row({Num("5"), Num("4"), Num("0")});
}

/// A workbook with one sheet "Data" holding the rows `sheetData`.
std::string Xlsx(const std::string& sheetData) {
  return ZipBytes(io::testing::XlsxFixture().Sheet("Data", sheetData).Members());
}

/// A valid workbook whose part `name` is `content` instead, or is missing when it is "".
std::string XlsxWith(const std::string& name, const std::string& content) {
  auto parts = io::testing::XlsxFixture().Sheet("Data", Square(Num("0"))).Members();
  parts[name] = content;
  if (content.empty()) parts.erase(name);
  return ZipBytes(parts);
}

// ---- the table -------------------------------------------------------------------------

/// One input: the file to make (name and bytes, made in the test's folder; without bytes
/// a name that is not made, or a bundled example's path), the options after it, the exit status
/// and the lines expected on standard error or standard output ("..." stands for any
/// text; "{in}" for the input's path).
struct BadInput {
  std::string name;
  std::string file;
  std::optional<std::string> bytes;
  std::vector<std::string> args;
  int status;
  std::vector<std::string> lines;
};

const std::string kApp = "Application-defined or object-defined error";
const std::string kRead = "hcluster: cannot read the input file: {in}: ";

/// The line of `--json -` that lists the items analysed.
std::string LabelsLine(const std::vector<std::string>& labels) {
  std::string line = "...\"labels\": [";
  for (std::size_t i = 0; i < labels.size(); ++i) line += (i == 0 ? "\"" : ", \"") + labels[i] + "\"";
  return line + "],";
}


/// Made as a folder, not a file.
const std::string kFolder = "\x01folder";

std::vector<BadInput> Cases() {
  const std::string numbers = "a,1,2\nb,2,3\nc,5,1\n";
  const std::string iris = Example("iris-sample.csv");
  const std::string valid = Xlsx(Square(Num("0")));
  std::string corrupt = valid;  // bytes flipped inside the deflated worksheet part
  const std::size_t at = corrupt.find("xl/worksheets/sheet1.xml") + 40;
  corrupt[at] = static_cast<char>(corrupt[at] ^ 0x5A);
  corrupt[at + 1] = static_cast<char>(corrupt[at + 1] ^ 0xA5);
  return {
      // ---- files that are not what they should be: exit status 2 ----
      {"missing_file", "missing.csv", std::nullopt, {}, 2, {kRead + "cannot open: No such file or directory"}},
      {"folder_as_input", "folder.csv", kFolder, {}, 2, {kRead + "..."}},
      {"empty_csv", "empty.csv", "", {}, 2, {kRead + "the file is empty"}},
      {"empty_xlsx", "empty.xlsx", "", {}, 2, {kRead + "the file is empty"}},
      {"truncated_xlsx", "truncated.xlsx", valid.substr(0, valid.size() / 2), {}, 2,
       {kRead + "not an XLSX workbook..."}},
      {"corrupt_xlsx", "corrupt.xlsx", corrupt, {}, 2, {kRead + "part xl/worksheets/sheet1.xml: ..."}},
      {"xlsx_named_csv", "data.csv", valid, {}, 2, {kRead + "row 1, column 1: ..."}},
      {"zip_without_workbook", "other.xlsx", ZipBytes({{"readme.txt", "hello"}}), {}, 2,
       {kRead + "not an XLSX workbook: the archive holds no workbook part"}},
      {"missing_sheet_part", "nosheet.xlsx", XlsxWith("xl/worksheets/sheet1.xml", ""), {}, 2,
       {kRead + "sheet \"Data\": the sheet's part xl/worksheets/sheet1.xml is missing"}},
      {"entity_declarations_xlsx", "entities.xlsx",
       XlsxWith("xl/worksheets/sheet1.xml", "<!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;\">"
                                            "]><worksheet><sheetData>" + Row({Text("&b;"), Num("1")}) +
                                            "</sheetData></worksheet>"),
       {}, 2, {kRead + "part xl/worksheets/sheet1.xml, sheet \"Data\": DOCTYPE declarations are refused..."}},
      {"empty_first_sheet", "two.xlsx",
       ZipBytes(io::testing::XlsxFixture().Sheet("Empty", "").Sheet("Data", Square(Num("0"))).Members()), {}, 2,
       {"hcluster: {in}: the first sheet \"Empty\" holds no data"}},
      // ---- workbooks that an .xlsx output of the report cannot extend ----
      {"workbook_with_macros", "macros.xlsx",
       XlsxWith("[Content_Types].xml", "<Types><Default Extension=\"bin\" ContentType=\"application/"
                                       "vnd.ms-excel.sheet.macroEnabled.main+xml\"/></Types>"),
       {}, 2, {"hcluster: ...it holds macros, which an .xlsx file cannot keep; name the output .xlsm"}},
      {"workbook_in_the_strict_format", "strict.xlsx",
       XlsxWith("xl/workbook.xml", "<workbook xmlns=\"http://purl.oclc.org/ooxml/spreadsheetml/main\" xmlns:r=\"" +
                                       std::string(io::testing::XlsxFixture::kRel) +
                                       "\"><sheets><sheet name=\"Data\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"),
       {}, 2, {"hcluster: ...it is saved in the strict format; save it as an ordinary workbook first"}},
      {"malformed_xml", "malformed.xlsx", Xlsx("<row><c><v>1</v></row>"), {}, 2, {kRead + "...sheet \"Data\"..."}},
      {"unclosed_quote_csv", "quote.csv", "a,1,2\n\"b,2,3\n", {}, 2,
       {kRead + "row 2, column 1: quoted field is not closed before the end of the file"}},
      {"invalid_utf8_tsv", "bad.tsv", "a\t1\t2\nb\t\xC3\x28\t3\n", {}, 2, {kRead + "row 2, column 2: invalid UTF-8..."}},
      {"more_than_16384_fields", "wide.csv", std::string(16384, ',') + "1\n", {}, 2,
       {kRead + "row 1, column 16385: more than 16,384 fields in a row"}},
      {"more_than_1048576_rows", "tall.csv", std::string(1048576, '\n') + "1\n", {}, 2,
       {kRead + "row 1048577, column 1: more than 1,048,576 rows"}},

      // ---- cells and ranges the checks refuse: exit status 1, the error and the hint ----
      {"error_value_in_metric_data_6002", "na.xlsx", Xlsx(Square(Err("#N/A"))), {}, 1,
       {"hcluster: error -2147215502 (dezEZuvazozInvalidMixedQuantData): " + kApp, "  at Line ... in DEZEZuvazoz.clsHCluster.Results"}},
      {"nan_as_text_6002", "nan.csv", "a,1,2\nb,NaN,3\nc,5,1\n", {"-l"}, 1,
       {"hcluster: error -2147215502 (dezEZuvazozInvalidMixedQuantData): " + kApp}},
      {"binary_data_6004", "bin.csv", "a,1,0,1\nb,0,2,1\nc,1,1,0\n", {"-t", "binomial", "-l"}, 1,
       {"hcluster: error -2147215500 (dezEZuvazozInvalidBinData): " + kApp, "  at Line ...",
        "  binomial data: a cell of the range is not 1 or 0"}},
      {"error_value_as_a_label_13", "labels.xlsx",
       Xlsx(Row({Text("a"), Num("1"), Num("2")}) + Row({Err("#REF!"), Num("2"), Num("3")}) +
            Row({Text("c"), Num("5"), Num("1")})),
       {"-l"}, 1,
       {"hcluster: error 13 (type mismatch): Type mismatch", "  at Line ... in DEZEZuvazoz.clsHCluster.GetResults.Results"}},
      {"huge_distances_overflow_the_average", "huge.csv", "0,1e308,1.7e308\n1e308,0,1.7e308\n1.7e308,1.7e308,0\n",
       {"-t", "distance"}, 1, {"hcluster: error 6 (overflow): Overflow",
        "  at Line ... in DEZEZuvazoz.clsHClusterBO.GetCopheneticR.Analyse.GetResults.Results"}},
      {"too_few_variables_5048", iris, std::nullopt, {"-l", "-r", "A1:B30"}, 1,
       {"hcluster: error -2147216456 (offset 5048): " + kApp, "  at Line ...",
        "  fewer than 2 variables (columns); only Ward's method takes one"}},
      {"empty_range_5011", iris, std::nullopt, {"-l", "-r", ""}, 1,
       {"hcluster: error -2147216493 (offset 5011): No variables range specified", "  at clsHCluster"}},
      {"range_not_an_address_5009", iris, std::nullopt, {"-l", "-r", "Nowhere!A1:B2"}, 1,
       {"hcluster: error -2147216495 (offset 5009): ...", "  --range is not an address of the workbook"}},
      {"output_range_not_an_address_5001", iris, std::nullopt, {"-l", "--output-range", "A1:"}, 1,
       {"hcluster: error -2147216503 (offset 5001): ...", "  --output-range is not an address of the workbook"}},
      {"output_range_over_data_5020", iris, std::nullopt, {"-l", "--output-range", "'iris-sample'!$C$3"}, 1,
       {"hcluster: error -2147216484 (offset 5020): The report of ... at 'iris-sample'!$C$3 would cover cells that "
        "hold data in ...",
        "  at Line ... in DEZEZuvazoz.clsHCluster.Results",
        "  the report may not go there; choose another --output-range, or add --overwrite"}},
      {"report_past_the_right_edge_5020", "data.csv", numbers, {"-l", "--output-range", "XFB1"}, 1,
       {"hcluster: error -2147216484 (offset 5020): The report of ... rows and ... columns does not fit on the sheet at "
        "'data'!$XFB$1"}},

      // ---- label cells of every kind: they become texts ----
      {"labels_of_every_kind", "labels.xlsx",
       Xlsx(Row({Text("plain"), Num("1"), Num("2")}) + Row({Num("7.5"), Num("2"), Num("3")}) +
            Row({"<c t=\"b\"><v>1</v></c>", Num("5"), Num("1")}) + Row({"<c/>", Num("4"), Num("4")}) +
            Row({Text("=1+1"), Num("0"), Num("6")}) + Row({Text("\xC3\xA9t\xC3\xA9 \xE6\xBC\xA2"), Num("3"), Num("3")}) +
            Row({Text(std::string(32767, 'L')), Num("9"), Num("0")}) +
            Row({Text("say &quot;hi&quot;"), Num("1"), Num("1")}) + Row({Text("back\\slash"), Num("8"), Num("8")})),
       {"-l", "--json", "-"}, 0,
       {LabelsLine({"plain", "7.5", "True", "", "=1+1", "\xC3\xA9t\xC3\xA9 \xE6\xBC\xA2", "LLL...LLL",
                    "say \\\"hi\\\"", "back\\\\slash"})}},
      // Two items: the tree reproduces the one distance exactly, R = 1, and the engine
      // makes no test: no probability.
      {"correlation_of_one", "two.csv", "a,1,2\nb,2,4\n", {"-l", "--json", "-"}, 0,
       {" \"cophenetic\": {\"r\": 1, \"df\": -1, \"p\": null},"}},

      // ---- header rows, dialects and missing values: the component gets the user's items ----
      {"header_row_detected", "shops.csv", "Revenue,Visitors\n1,2\n3,5\n4,4\n", {"--json", "-"}, 0,
       {"hcluster: row 1 of the sheet shops holds texts over numbers: read as the variable names (--no-header "
        "reads it as data)",
        LabelsLine({"Row 2", "Row 3", "Row 4"})}},
      {"header_row_refused_with_no_header", "shops.csv", "Revenue,Visitors\n1,2\n3,5\n4,4\n", {"--no-header"},
       1, {"  cell shops!A1 holds the text \"Revenue\": if row 1 is a header, add --header"}},
      {"byte_order_mark_crlf_and_labels", "bom.csv", "\xEF\xBB\xBFStore,A,B\r\nN,1,2\r\nS,3,5\r\nE,4,4\r\n",
       {"-l", "--json", "-"}, 0,
       {"hcluster: row 1 of the sheet bom holds texts over numbers: ...", LabelsLine({"N", "S", "E"})}},
      {"semicolons_and_decimal_commas", "eu.csv", "Store;A;B\nN;\"1,5\";2\nS;3,25;5\nE;4;4,5\n",
       {"-l", "--json", "-"}, 0,
       {"hcluster: ...eu.csv: fields separated by ';', numbers with a decimal comma (detected; ...)",
        LabelsLine({"N", "S", "E"})}},
      {"pipes_given_with_delimiter", "p.csv", "1|2\n3|5\n4|4\n", {"--delimiter", "|", "--json", "-"}, 0,
       {LabelsLine({"Row 1", "Row 2", "Row 3"})}},
      {"na_in_a_tsv", "t.tsv", "a\tb\n1\t2\n3\tNA\n4\t4\n5\t1\n", {}, 1,
       {"  cell t!B3 holds the text \"NA\": correct the cell, or add --missing drop to leave the item out"}},
      {"na_dropped", "t.tsv", "a\tb\n1\t2\n3\tNA\n4\t4\n5\t1\n", {"--missing", "drop", "--json", "-"}, 0,
       {"hcluster: --missing drop left out 1 of 4 items (an empty or unfit cell): Row 3",
        LabelsLine({"Row 2", "Row 4", "Row 5"})}},
      {"notes_column", "n.csv", "Store,A,B,Notes\nN,1,2,new\nS,3,5,\nE,4,4,\n", {"-l"}, 1,
       {"  cell n!D2 holds the text \"new\": if column D holds notes, leave it out: -r 'n!$A$2:$C$4'"}},
      {"blank_row", "b.csv", "1,2\n3,5\n\n4,4\n", {}, 1,
       {"  cell b!A3 is empty: row 3 is empty: leave it out of the range, or add --missing drop"}},
      {"decimal_comma_text_in_a_comma_file", "c.csv", "1,\"2,5\"\n3,5\n4,4\n", {}, 1,
       {"  cell c!B1 holds the text \"2,5\": write the number with a decimal point (or, for a CSV file, add "
        "--decimal-comma)"}},
      {"a_percentage", "pc.csv", "1,12%\n3,5\n4,4\n", {}, 1,
       {"  cell pc!B1 holds the text \"12%\": write the percentage as a number (0.12 for 12%)"}},
      {"a_2_in_binomial_data", "bin.csv", "1,0\n0,2\n1,1\n", {"-t", "binomial"}, 1,
       {"  cell bin!B2 holds 2: binomial data holds only 1 and 0"}},
      {"open_range", "o.csv", "x,1,2\nN,1,2\nS,3,5\nE,4,4\n", {"-r", "A2:C", "-l", "--json", "-"}, 0,
       {LabelsLine({"N", "S", "E"})}},
      {"standardisation_of_a_range_that_is_not_one_block", "u.csv", "1,2\n3,5\n4,4\n",
       {"-r", "A1:B1,A2:B3", "--standardize", "z"}, 2,
       {"hcluster: --missing drop and --standardize need a range of one block on a sheet of the input, such as "
        "'Data!A2:F'; \"A1:B1,A2:B3\" is none"}},
      {"a_variable_without_variation", "v.csv", "a,b\n1,7\n2,7\n3,7\n", {"--standardize", "range"}, 1,
       {"hcluster: --standardize range: column B (\"b\") has no variation to scale by (every value the same); "
        "leave it out of the range"}},

      // ---- sizes refused by the command line at once, before the engine would build a
      // matrix of gigabytes (its overflow or the sheet's limit would give status 1) ----
      {"more_than_16384_items", "too_many.csv", MetricRows(16'385), {}, 2,
       {"hcluster: the range holds 16385 items; hcluster clusters at most 16,384 items"}},
      {"report_taller_than_a_sheet", "too_tall.csv", MetricRows(16'300), {"-M", "ward"}, 2,
       {"hcluster: the report of 16300 items would need about ... rows, more than a sheet's 1048576 ... "
        "--no-matrix, or ... --json alone"}},
  };
}

void ExpectCleanFailureOrHarmlessSuccess(const BadInput& c) {
  TempDir dir;
  const std::string made = c.bytes.value_or("");
  const std::string input = c.file.starts_with("/") ? c.file : dir / c.file;
  if (made == kFolder) {
    fs::create_directory(input);
  } else if (c.bytes) {
    dir.Write(c.file, made);
  }
  struct stat before {};
  ::stat(input.c_str(), &before);

  const std::string workbook = dir / "report.xlsx";
  const std::string json = dir / "results.json";
  for (const bool outputsExist : {false, true}) {
    if (c.status == 0 && outputsExist) break;  // a run that succeeds is made once
    SCOPED_TRACE(outputsExist ? "the output files exist" : "no output files yet");
    if (outputsExist) {
      dir.Write("report.xlsx", "old workbook");
      dir.Write("results.json", "old json");
    }
    std::vector<std::string> args{input};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.insert(args.end(), {"-o", workbook});
    if (c.status != 0) args.insert(args.end(), {"--json", json, "--print"});

    const RunResult run = RunHcluster(args);
    EXPECT_EQ(run.status, c.status) << run.err;
    for (const std::string& line : c.lines) {
      const std::string expected = Replace(line, "{in}", input);
      EXPECT_TRUE(HasLine(run.err + "\n" + run.out, expected)) << expected << "\n" << run.err;
    }
    if (c.status != 0) {
      EXPECT_EQ(run.out, "");
      EXPECT_EQ(ReadAll(workbook) + "|" + ReadAll(json), outputsExist ? "old workbook|old json" : "|");
      EXPECT_EQ(fs::exists(workbook) || fs::exists(json), outputsExist);
    } else {
      EXPECT_TRUE(fs::exists(workbook));
    }
    // Only the input and the outputs are in the folder: no temporary file is left.
    for (const std::string& name : FilesIn(dir.path())) {
      EXPECT_TRUE(name == c.file || name == "report.xlsx" || name == "results.json") << name;
    }
    // The input keeps its bytes and its times.
    struct stat after {};
    ::stat(input.c_str(), &after);
    if (c.bytes && made != kFolder) {
      EXPECT_EQ(ReadAll(input), made);
    }
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  }
}

TEST(BadInputs, FailCleanlyOrSucceedWithoutHarm) {
  for (const BadInput& c : Cases()) {
    SCOPED_TRACE(c.name);
    ExpectCleanFailureOrHarmlessSuccess(c);
  }
}

// ---- faults ----------------------------------------------------------------------------

TEST(Faults, UnreadableInputIsExitStatusTwo) {
  TempDir dir;
  ::chmod(dir.path().c_str(), 0755);
  const std::string input = dir.Write("secret.csv", "a,1,2\nb,2,3\nc,5,1\n");
  ::chmod(input.c_str(), 0000);
  // The superuser reads any file; the run is made as nobody when it can be.
  const RunResult run = RunHcluster({input, "-l"}, -1, ::geteuid() == 0);
  DEZ_NEEDS(run.status != kCannotRunAsNobody, "running as an unprivileged user");
  EXPECT_EQ(run.status, 2) << run.err;
  EXPECT_TRUE(HasLine(run.err, "hcluster: cannot read the input file: " + input + ": cannot open: Permission denied"))
      << run.err;
  EXPECT_EQ(run.out, "");
  ::chmod(input.c_str(), 0644);
}

// An immutable file cannot be opened for writing even by the superuser: the input is
// opened for reading only.
TEST(Faults, ReadOnlyAndImmutableInputIsAnalysed) {
  TempDir dir;
  const std::string input = dir.Write("data.csv", "a,1,2\nb,2,3\nc,5,1\n");
  ::chmod(input.c_str(), 0444);
  const bool immutable = std::system(("chattr +i '" + input + "' 2>/dev/null").c_str()) == 0;
  const RunResult run = RunHcluster({input, "-l", "-o", dir / "report.xlsx"});
  if (immutable) (void)std::system(("chattr -i '" + input + "'").c_str());
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadAll(input), "a,1,2\nb,2,3\nc,5,1\n");
  EXPECT_TRUE(fs::exists(dir / "report.xlsx"));
  ::chmod(input.c_str(), 0644);
}

TEST(Faults, FullDiskLeavesTheOldWorkbookAndNoPartialFile) {
  // A file system of its own for the output: a tmpfs of 64 KiB.
  TempDir dir;
  const fs::path disk = dir.path() / "disk";
  fs::create_directories(disk);
  DEZ_NEEDS(::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") == 0, "mounting a tmpfs (needs the superuser)");
  const std::string output = (disk / "report.xlsx").string();
  dir.Write("disk/report.xlsx", "old workbook");
  // A report far larger than 64 KiB: 300 items give a 300 x 300 matrix.
  const std::string input = dir.Write("items.csv", MetricRows(300));
  const RunResult run = RunHcluster({input, "-o", output, "--text-dendrogram"});
  EXPECT_EQ(run.status, 2) << run.err;
  EXPECT_TRUE(HasLine(run.err, "hcluster: cannot write the output: " + output + "...")) << run.err;
  EXPECT_EQ(ReadAll(output), "old workbook");
  EXPECT_EQ(FilesIn(disk), std::vector<std::string>{"report.xlsx"});
  ::umount2(disk.c_str(), MNT_DETACH);
}

}  // namespace
}  // namespace dez::cli::testing
