// Hostile and broken input through the binary, as a table: files that are missing,
// unreadable, empty, truncated, corrupt, mislabelled or hostile; cells holding error
// values, Booleans, numbers written as text, "NaN" and "inf", numbers too large or too
// small for a measure; label cells of every kind; the item and sheet limits. Every case
// checks the exit status and the message, that standard output stays empty on failure,
// that no output file is created and an existing one keeps its bytes, that no temporary
// file is left behind, and that the input file is neither changed nor opened for writing.
// Then the faults: unreadable input, a full disk and a read-only folder for the output.
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "run_hcluster.h"
#include "tests/support/needs.h"

namespace dez::cli::testing {
namespace {

namespace fs = std::filesystem;

// ---- running the binary --------------------------------------------------------------

/// What one run gave, with the child's peak memory.
struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
  long maxRssKb = 0;  ///< peak resident memory of the run, in KiB
};

constexpr int kCannotDropPrivileges = 125;
constexpr int kCannotExecute = 127;

/// True when a run meant for an unprivileged user could not be made as one: no user
/// 65534, or the binary lies where that user may not reach it.
bool NotRunAsNobody(int status) { return status == kCannotDropPrivileges || status == kCannotExecute; }

/// Runs hcluster with `args` as RunHcluster does, through fork and exec so that the
/// child's own peak memory is known (wait4) and, with `unprivileged`, the child runs as
/// the user and group 65534 (nobody): the superuser may read any file, nobody may not.
Outcome RunBinary(const std::vector<std::string>& args, bool unprivileged = false) {
  TempDir capture;
  const std::string outPath = capture / "stdout";
  const std::string errPath = capture / "stderr";
  std::vector<std::string> words{HCLUSTER_PATH};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid == 0) {
    const int in = ::open("/dev/null", O_RDONLY);
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0) ::_exit(kCannotDropPrivileges);
    ::dup2(in, STDIN_FILENO);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    if (unprivileged && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(kCannotDropPrivileges);
    ::execve(HCLUSTER_PATH, argv.data(), environ);
    ::_exit(kCannotExecute);
  }
  Outcome outcome;
  if (pid < 0) return outcome;
  int wstatus = 0;
  struct rusage usage {};
  while (::wait4(pid, &wstatus, 0, &usage) < 0 && errno == EINTR) {
  }
  outcome.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
  outcome.maxRssKb = usage.ru_maxrss;
  outcome.out = ReadAll(outPath);
  outcome.err = ReadAll(errPath);
  return outcome;
}

// ---- making input files --------------------------------------------------------------

/// The bytes of a zip archive holding `members` (name -> content), deflated.
std::string ZipBytes(const TempDir& dir, const std::map<std::string, std::string>& members) {
  const std::string file = dir / "zip-under-construction";
  int error = 0;
  zip_t* archive = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (archive == nullptr) return {};
  for (const auto& [name, content] : members) {
    zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
    if (source == nullptr || zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8) < 0) {
      zip_source_free(source);
      zip_discard(archive);
      return {};
    }
  }
  if (zip_close(archive) != 0) {
    zip_discard(archive);
    return {};
  }
  std::string bytes = ReadAll(file);
  fs::remove(file);
  return bytes;
}

constexpr const char* kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr const char* kPkg = "http://schemas.openxmlformats.org/package/2006/relationships";

/// The parts of a workbook with one sheet "Data" whose worksheet part is `worksheetXml`.
std::map<std::string, std::string> WorkbookParts(const std::string& worksheetXml) {
  std::map<std::string, std::string> parts;
  parts["[Content_Types].xml"] = "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>";
  parts["_rels/.rels"] = std::string("<Relationships xmlns=\"") + kPkg + "\"><Relationship Id=\"rId1\" Type=\"" + kRel +
                         "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
  parts["xl/workbook.xml"] = std::string("<workbook xmlns=\"") + kMain + "\" xmlns:r=\"" + kRel +
                             "\"><sheets><sheet name=\"Data\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
  parts["xl/_rels/workbook.xml.rels"] = std::string("<Relationships xmlns=\"") + kPkg +
                                        "\"><Relationship Id=\"rId1\" Type=\"" + kRel +
                                        "/worksheet\" Target=\"worksheets/sheet1.xml\"/></Relationships>";
  parts["xl/worksheets/sheet1.xml"] = worksheetXml;
  return parts;
}

/// A worksheet part with `sheetData` (the rows) and an optional dimension claim.
std::string Worksheet(const std::string& sheetData, const std::string& dimension = "") {
  std::string xml = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet xmlns=\"") + kMain + "\">";
  if (!dimension.empty()) xml += "<dimension ref=\"" + dimension + "\"/>";
  return xml + "<sheetData>" + sheetData + "</sheetData></worksheet>";
}

// Cells of a <row>, as the XML of the file.
std::string Num(const std::string& v) { return "<c><v>" + v + "</v></c>"; }
std::string Text(const std::string& v) { return "<c t=\"inlineStr\"><is><t>" + v + "</t></is></c>"; }
std::string Bool(bool v) { return std::string("<c t=\"b\"><v>") + (v ? "1" : "0") + "</v></c>"; }
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

std::string XlsxBytes(const TempDir& dir, const std::string& sheetData, const std::string& dimension = "") {
  return ZipBytes(dir, WorkbookParts(Worksheet(sheetData, dimension)));
}

/// The bytes of a small valid workbook (3 x 3 numbers), for truncation and corruption.
std::string ValidXlsx(const TempDir& dir) { return XlsxBytes(dir, Square(Num("0"))); }

/// Bytes that look like nothing: a fixed pseudo-random sequence.
std::string Garbage(std::size_t size) {
  std::string bytes(size, '\0');
  std::uint32_t x = 2463534242u;
  for (char& b : bytes) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = static_cast<char>(x & 0xFF);
  }
  return bytes;
}

/// `rows` lines of two numbers each, distinct enough for a clustering.
std::string MetricRows(int rows) {
  std::string text;
  text.reserve(static_cast<std::size_t>(rows) * 12);
  for (int i = 0; i < rows; ++i) text += std::to_string(i % 97) + "," + std::to_string((i * 7) % 101) + "\n";
  return text;
}

// ---- the table -------------------------------------------------------------------------

/// One bad input: the file to make (name and bytes, made in the test's folder), the
/// options after it, the exit status and the lines expected on standard error or, for a
/// run that succeeds, on standard output ("..." stands for any text; "{in}" for the
/// input's path).
struct BadInput {
  std::string name;
  std::string file;
  std::function<std::string(const TempDir&)> bytes;
  std::vector<std::string> args;
  int status;
  std::vector<std::string> lines;
  bool withOutputs = true;  ///< also ask for -o and --json (not when the case names its own)
};

void PrintTo(const BadInput& c, std::ostream* os) { *os << c.name; }

const std::string kApp = "Application-defined or object-defined error";
const std::string kRead = "hcluster: cannot read the input file: {in}: ";

std::function<std::string(const TempDir&)> Bytes(std::string bytes) {
  return [b = std::move(bytes)](const TempDir&) { return b; };
}
std::function<std::string(const TempDir&)> Xlsx(std::string sheetData, std::string dimension = "") {
  return [d = std::move(sheetData), dim = std::move(dimension)](const TempDir& dir) { return XlsxBytes(dir, d, dim); };
}

std::vector<BadInput> Cases() {
  const std::string numbers = "a,1,2\nb,2,3\nc,5,1\n";
  return {
      // ---- files that are not what they should be: exit status 2 ----
      {"missing_xlsx", "", nullptr, {}, 2, {kRead + "cannot open..."}},
      {"empty_csv", "empty.csv", Bytes(""), {}, 2, {kRead + "the file is empty"}},
      {"byte_order_mark_only_csv", "bom.csv", Bytes("\xEF\xBB\xBF"), {}, 2, {kRead + "the file is empty"}},
      {"empty_xlsx", "empty.xlsx", Bytes(""), {}, 2, {kRead + "the file is empty"}},
      {"truncated_xlsx", "truncated.xlsx", [](const TempDir& d) { const std::string v = ValidXlsx(d); return v.substr(0, v.size() / 2); },
       {}, 2, {kRead + "not an XLSX workbook..."}},
      {"corrupt_xlsx", "corrupt.xlsx",
       [](const TempDir& d) {
         std::string v = ValidXlsx(d);
         // Flip bytes inside the deflated worksheet part, behind its local header.
         const std::size_t at = v.find("xl/worksheets/sheet1.xml") + 40;
         v[at] = static_cast<char>(v[at] ^ 0x5A);
         v[at + 1] = static_cast<char>(v[at + 1] ^ 0xA5);
         return v;
       },
       {}, 2, {kRead + "part xl/worksheets/sheet1.xml: ..."}},
      {"csv_named_xlsx", "data.xlsx", Bytes(numbers), {}, 2, {kRead + "not an XLSX workbook..."}},
      {"xlsx_named_csv", "data.csv", [](const TempDir& d) { return ValidXlsx(d); }, {}, 2, {kRead + "row 1, column 1: ..."}},
      {"garbage_xlsx", "garbage.xlsx", Bytes(Garbage(4096)), {}, 2, {kRead + "not an XLSX workbook..."}},
      {"garbage_tsv", "garbage.tsv", Bytes(Garbage(4096)), {}, 2, {kRead + "row 1, column ...: ..."}},
      {"zip_without_workbook", "other.xlsx", [](const TempDir& d) { return ZipBytes(d, {{"readme.txt", "hello"}}); },
       {}, 2, {kRead + "not an XLSX workbook: the archive holds no workbook part"}},
      {"missing_sheet_part", "nosheet.xlsx",
       [](const TempDir& d) {
         auto parts = WorkbookParts(Worksheet(Square(Num("0"))));
         parts.erase("xl/worksheets/sheet1.xml");
         return ZipBytes(d, parts);
       },
       {}, 2, {kRead + "sheet \"Data\": the sheet's part xl/worksheets/sheet1.xml is missing"}},
      {"entity_declarations_xlsx", "entities.xlsx",
       [](const TempDir& d) {
         auto parts = WorkbookParts(
             "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;\">]>" +
             Worksheet(Row({Text("&b;"), Num("1")})).substr(38));
         return ZipBytes(d, parts);
       },
       {}, 2, {kRead + "part xl/worksheets/sheet1.xml, sheet \"Data\": DOCTYPE declarations are refused..."}},
      {"malformed_xml", "malformed.xlsx", Xlsx("<row><c><v>1</v></row>"), {}, 2, {kRead + "...sheet \"Data\"..."}},
      {"shared_string_out_of_range", "sst.xlsx", Xlsx(Row({"<c t=\"s\"><v>7</v></c>", Num("1")})), {}, 2,
       {kRead + "sheet \"Data\", cell A1: shared string index 7 out of range (0 strings)"}},
      {"cell_beyond_xfd", "wide.xlsx", Xlsx("<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>"), {}, 2,
       {kRead + "...lies beyond the sheet's 1,048,576 rows x 16,384 columns"}},
      {"row_beyond_the_sheet", "tall.xlsx", Xlsx("<row r=\"1048577\"><c><v>1</v></c></row>"), {}, 2,
       {kRead + "...row number \"1048577\" lies beyond the sheet's 1,048,576 rows"}},
      {"unclosed_quote_csv", "quote.csv", Bytes("a,1,2\n\"b,2,3\n"), {}, 2,
       {kRead + "row 2, column 1: quoted field is not closed before the end of the file"}},
      {"text_after_quote_csv", "after.csv", Bytes("\"a\"x,1,2\n"), {}, 2,
       {kRead + "row 1, column 1: unexpected character after the closing quote of a quoted field"}},
      {"nul_byte_csv", "nul.csv", Bytes(std::string("a,1,2\nb\0,2,3\n", 13)), {}, 2,
       {kRead + "row 2, column 1: NUL byte in a field; this is not a text file"}},
      {"invalid_utf8_tsv", "bad.tsv", Bytes("a\t1\t2\nb\t\xC3\x28\t3\n"), {}, 2, {kRead + "row 2, column 2: invalid UTF-8..."}},
      {"more_than_16384_fields", "wide.csv", Bytes(std::string(16384, ',') + "1\n"), {}, 2,
       {kRead + "row 1, column 16385: more than 16,384 fields in a row"}},
      {"more_than_1048576_rows", "tall.csv", Bytes(std::string(1048576, '\n') + "1\n"), {}, 2,
       {kRead + "row 1048577, column 1: more than 1,048,576 rows"}},
      {"text_longer_than_a_cell", "long.csv", Bytes("a," + std::string(32768, 'x') + "\nb,1\n"), {}, 2,
       {kRead + "row 1, column 2: a field longer than 32,767 characters (the cell limit)"}},
      {"unsupported_extension", "data.txt", Bytes(numbers), {}, 2,
       {"hcluster: INPUT \"{in}\" is not a .csv, .tsv or .xlsx file"}},
      {"workbook_over_the_input", "data.xlsx", [](const TempDir& d) { return ValidXlsx(d); }, {"-t", "distance", "-o", "{in}"},
       2, {"hcluster: --output \"{in}\" names the input file; choose another file for the report"}, false},
      {"json_over_the_input", "data.csv", Bytes(numbers), {"-l", "--json", "{in}"}, 2,
       {"hcluster: --json \"{in}\" names the input file"}, false},

      // ---- cells the checks refuse: exit status 1 with the controller's numbers ----
      {"error_value_in_metric_data_6002", "na.xlsx", Xlsx(Square(Err("#N/A"))), {}, 1,
       {"hcluster: error -2147215502 (dezEZuvazozInvalidMixedQuantData): " + kApp, "  at Line ... in DEZEZuvazoz.clsHCluster.Results"}},
      {"error_value_in_a_matrix_6006", "na.xlsx", Xlsx(Square(Err("#DIV/0!"))), {"-t", "distance"}, 1,
       {"hcluster: error -2147215498 (dezEZuvazozInvalidDiffData): " + kApp}},
      {"error_value_in_binomial_data_6004", "na.xlsx",
       Xlsx(Row({Num("1"), Num("0")}) + Row({Err("#N/A"), Num("1")}) + Row({Num("0"), Num("1")})), {"-t", "binomial"}, 1,
       {"hcluster: error -2147215500 (dezEZuvazozInvalidBinData): " + kApp}},
      {"boolean_in_metric_data_6002", "bool.xlsx", Xlsx(Square(Bool(true))), {}, 1,
       {"hcluster: error -2147215502 (dezEZuvazozInvalidMixedQuantData): " + kApp}},
      {"boolean_in_binomial_data_6004", "bool.xlsx",
       Xlsx(Row({Num("1"), Num("0")}) + Row({Bool(true), Num("1")}) + Row({Num("0"), Num("1")})), {"-t", "binomial"}, 1,
       {"hcluster: error -2147215500 (dezEZuvazozInvalidBinData): " + kApp}},
      {"number_written_as_text_6002", "text.xlsx", Xlsx(Square(Text("4"))), {}, 1,
       {"hcluster: error -2147215502 (dezEZuvazozInvalidMixedQuantData): " + kApp}},
      {"nan_as_text_6002", "nan.csv", Bytes("a,1,2\nb,NaN,3\nc,5,1\n"), {"-l"}, 1,
       {"hcluster: error -2147215502 (dezEZuvazozInvalidMixedQuantData): " + kApp}},
      {"inf_as_text_6002", "inf.csv", Bytes("a,1,2\nb,inf,3\nc,-Infinity,1\n"), {"-l"}, 1,
       {"hcluster: error -2147215502 (dezEZuvazozInvalidMixedQuantData): " + kApp}},
      {"number_beyond_double_is_text_6002", "big.csv", Bytes("a,1,2\nb,1e999,3\nc,5,1\n"), {"-l"}, 1,
       {"hcluster: error -2147215502 (dezEZuvazozInvalidMixedQuantData): " + kApp}},
      {"nan_in_a_distance_matrix_6006", "nan.csv", Bytes("0,1,2\n1,0,NaN\n2,NaN,0\n"), {"-t", "distance"}, 1,
       {"hcluster: error -2147215498 (dezEZuvazozInvalidDiffData): " + kApp}},
      {"error_value_in_a_quant_column_6002", "mixed.xlsx",
       Xlsx(Row({Text("QUANT"), Text("BIN")}) + Row({Num("1"), Num("1")}) + Row({Err("#N/A"), Num("0")}) +
            Row({Num("3"), Num("1")})),
       {"-t", "mixed"}, 1, {"hcluster: error -2147215502 (dezEZuvazozInvalidMixedQuantData): " + kApp}},
      {"boolean_in_a_bin_column_6001", "mixed.xlsx",
       Xlsx(Row({Text("BIN"), Text("QUANT")}) + Row({Bool(true), Num("1")}) + Row({Num("0"), Num("2")}) +
            Row({Num("1"), Num("3")})),
       {"-t", "mixed"}, 1, {"hcluster: error -2147215503 (dezEZuvazozInvalidMixedBinData): " + kApp}},
      {"type_cell_holds_an_error_6000", "mixed.xlsx",
       Xlsx(Row({Err("#N/A"), Text("QUANT")}) + Row({Num("1"), Num("1")}) + Row({Num("0"), Num("2")})), {"-t", "mixed"},
       1, {"hcluster: error 13 (type mismatch): Type mismatch"}},
      {"error_value_as_a_label_13", "labels.xlsx",
       Xlsx(Row({Text("a"), Num("1"), Num("2")}) + Row({Err("#REF!"), Num("2"), Num("3")}) +
            Row({Text("c"), Num("5"), Num("1")})),
       {"-l"}, 1,
       {"hcluster: error 13 (type mismatch): Type mismatch", "  at Line ... in DEZEZuvazoz.clsHCluster.GetResults.Results"}},

      // ---- numbers a measure cannot take: the matrix is undefined, said in the report ----
      {"huge_numbers_leave_the_matrix_undefined", "huge.csv", Bytes("a,1e308,1e308\nb,-1e308,-1e308\nc,0,1\n"), {"-l"}, 0,
       {"There are undefined numbers in the", "distance/similarity matrix."}},
      {"huge_distances_overflow_the_average", "huge.csv", Bytes("0,1e308,1.7e308\n1e308,0,1.7e308\n1.7e308,1.7e308,0\n"),
       {"-t", "distance"}, 1, {"hcluster: error 6 (overflow): Overflow",
        "  at Line ... in DEZEZuvazoz.clsHClusterBO.GetCopheneticR.Analyse.GetResults.Results"}},
      {"tiny_numbers_are_clustered", "tiny.csv", Bytes("a,1e-308,2e-308\nb,3e-308,1e-308\nc,5e-324,0\n"), {"-l"}, 0,
       {"Cophenetic Correlation"}},
      {"tiny_numbers_leave_the_correlation_undefined", "tiny.csv", Bytes("a,1e-308,2e-308,0\nb,3e-308,1e-308,0\nc,5e-324,0,0\n"),
       {"-l", "-m", "correlation"}, 0, {"There are undefined numbers in the"}},

      // ---- label cells of every kind: they become texts ----
      {"labels_of_every_kind", "labels.xlsx",
       Xlsx(Row({Text("plain"), Num("1"), Num("2")}) + Row({Num("7.5"), Num("2"), Num("3")}) +
            Row({Bool(true), Num("5"), Num("1")}) + Row({"<c/>", Num("4"), Num("4")}) +
            Row({Text("=1+1"), Num("0"), Num("6")}) + Row({Text("\xC3\xA9t\xC3\xA9 \xE6\xBC\xA2"), Num("3"), Num("3")}) +
            Row({Text(std::string(32767, 'L')), Num("9"), Num("0")})),
       {"-l", "--json", "-"}, 0,
       {"...\"labels\": [\"plain\", \"7.5\", \"True\", \"\", \"=1+1\", \"\xC3\xA9t\xC3\xA9 \xE6\xBC\xA2\", \"LLL...LLL\"],"}},

      // ---- the limits of the sheet ----
      {"report_past_the_right_edge_5020", "data.csv", Bytes(numbers), {"-l", "--output-range", "XFB1"}, 1,
       {"hcluster: error -2147216484 (offset 5020): The report of ... rows and ... columns does not fit on the sheet at "
        "'data'!$XFB$1"}},
      {"report_past_the_bottom_edge_5020", "data.csv", Bytes(numbers), {"-l", "--output-range", "A1048570"}, 1,
       {"hcluster: error -2147216484 (offset 5020): The report of ... does not fit on the sheet at 'data'!$A$1048570"}},
      {"whole_sheet_range_6002", "data.csv", Bytes(numbers), {"-r", "A:XFD", "-l"}, 1,
       {"hcluster: error -2147215502 (dezEZuvazozInvalidMixedQuantData): " + kApp}},
      {"claimed_dimension_is_ignored", "claims.xlsx", Xlsx(Square(Num("1")), "A1:XFD1048576"), {"-t", "distance"}, 0,
       {"Cophenetic Correlation"}},
  };
}

std::string Substitute(std::string text, const std::string& input) {
  for (std::size_t at = text.find("{in}"); at != std::string::npos; at = text.find("{in}", at + input.size())) {
    text.replace(at, 4, input);
  }
  return text;
}

/// Names of the files in `folder`, sorted.
std::vector<std::string> FilesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

/// Watches a file for being opened for writing, changed or having its attributes changed.
class WriteWatch {
 public:
  explicit WriteWatch(const std::string& file) {
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ >= 0) ::inotify_add_watch(fd_, file.c_str(), IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB | IN_CLOSE_NOWRITE);
  }
  ~WriteWatch() {
    if (fd_ >= 0) ::close(fd_);
  }
  WriteWatch(const WriteWatch&) = delete;
  WriteWatch& operator=(const WriteWatch&) = delete;

  /// The events seen since the watch began: (writes, reads).
  std::pair<int, int> Events() {
    int writes = 0;
    int reads = 0;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
      const ssize_t n = ::read(fd_, buffer, sizeof buffer);
      if (n <= 0) break;
      for (ssize_t at = 0; at < n;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        if ((event->mask & (IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB)) != 0) ++writes;
        if ((event->mask & IN_CLOSE_NOWRITE) != 0) ++reads;
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    return {writes, reads};
  }
  bool ok() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

class BadInputs : public ::testing::TestWithParam<BadInput> {};

TEST_P(BadInputs, FailCleanlyOrSucceedWithoutHarm) {
  const BadInput& c = GetParam();
  TempDir dir;
  const std::string input = c.file.empty() ? dir / "missing.xlsx" : dir.Write(c.file, c.bytes(dir));
  const std::string inputBytes = c.file.empty() ? std::string() : ReadAll(input);
  struct stat before {};
  if (!c.file.empty()) {
    ASSERT_EQ(::stat(input.c_str(), &before), 0);
  }

  for (const bool outputsExist : {false, true}) {
    if (c.status == 0 && outputsExist) break;  // a run that succeeds is made once
    SCOPED_TRACE(outputsExist ? "the output files exist" : "no output files yet");
    const std::string workbook = dir / "report.xlsx";
    const std::string json = dir / "results.json";
    if (outputsExist) {
      dir.Write("report.xlsx", "old workbook");
      dir.Write("results.json", "old json");
    }
    std::vector<std::string> args{input};
    for (const std::string& arg : c.args) args.push_back(Substitute(arg, input));
    if (!c.withOutputs) {
      args.push_back("--print");
    } else if (c.status != 0) {
      args.insert(args.end(), {"-o", workbook, "--json", json, "--print"});
    } else {
      args.insert(args.end(), {"-o", workbook});
      if (std::find(args.begin(), args.end(), "-") == args.end()) args.push_back("--print");
    }
    std::unique_ptr<WriteWatch> watch;
    if (!c.file.empty()) watch = std::make_unique<WriteWatch>(input);

    const Outcome run = RunBinary(args);
    EXPECT_EQ(run.status, c.status) << run.err;
    const std::string& said = c.status == 0 ? run.out : run.err;
    for (const std::string& line : c.lines) {
      EXPECT_TRUE(HasLine(said, Substitute(line, input))) << "missing: " << Substitute(line, input) << "\n" << said;
    }
    if (c.status != 0) {
      EXPECT_EQ(run.out, "");
      if (outputsExist) {
        EXPECT_EQ(ReadAll(workbook), "old workbook");
        EXPECT_EQ(ReadAll(json), "old json");
      } else {
        EXPECT_FALSE(fs::exists(workbook));
        EXPECT_FALSE(fs::exists(json));
      }
    } else {
      EXPECT_TRUE(fs::exists(workbook));
    }
    // Only the input and the outputs are in the folder: no temporary file is left.
    for (const std::string& name : FilesIn(dir.path())) {
      EXPECT_TRUE(name == c.file || name == "report.xlsx" || name == "results.json") << name;
    }
    // The input keeps its bytes and its times, and was never opened for writing.
    if (!c.file.empty()) {
      struct stat after {};
      ASSERT_EQ(::stat(input.c_str(), &after), 0);
      EXPECT_EQ(ReadAll(input), inputBytes);
      EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
      EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
      if (watch->ok()) {
        EXPECT_EQ(watch->Events().first, 0) << "the input was opened for writing";
      } else {
        EXPECT_FALSE(dez::test::InCi()) << "inotify is needed in CI";
      }
    }
  }
}

std::string CaseName(const ::testing::TestParamInfo<BadInput>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Table, BadInputs, ::testing::ValuesIn(Cases()), CaseName);

// ---- limits ----------------------------------------------------------------------------

TEST(Limits, MemoryFollowsTheCellsNotTheClaimedDimension) {
  // The file claims every cell of the sheet and holds nine.
  TempDir dir;
  const std::string input = dir.Write("claims.xlsx", XlsxBytes(dir, Square(Num("1")), "A1:XFD1048576"));
  const Outcome run = RunBinary({input, "-t", "distance", "--json", "-"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_LT(run.maxRssKb, 256 * 1024) << "peak memory of the run, KiB";
}

// ---- faults ----------------------------------------------------------------------------

TEST(Faults, UnreadableInputIsExitStatusTwo) {
  TempDir dir;
  ::chmod(dir.path().c_str(), 0755);
  const std::string input = dir.Write("secret.csv", "a,1,2\nb,2,3\nc,5,1\n");
  ::chmod(input.c_str(), 0000);
  // The superuser reads any file; the run is made as nobody when it can be.
  const Outcome run = RunBinary({input, "-l"}, ::geteuid() == 0);
  DEZ_NEEDS(::geteuid() != 0 || !NotRunAsNobody(run.status), "running as an unprivileged user");
  EXPECT_EQ(run.status, 2) << run.err;
  EXPECT_TRUE(HasLine(run.err, "hcluster: cannot read the input file: " + input + ": cannot open: Permission denied"))
      << run.err;
  EXPECT_EQ(run.out, "");
  ::chmod(input.c_str(), 0644);
}

TEST(Faults, ReadOnlyAndImmutableInputIsAnalysed) {
  TempDir dir;
  const std::string input = dir.Write("data.csv", "a,1,2\nb,2,3\nc,5,1\n");
  ::chmod(input.c_str(), 0444);
  // An immutable file cannot be opened for writing even by the superuser.
  const bool immutable = std::system(("chattr +i '" + input + "' 2>/dev/null").c_str()) == 0;
  const Outcome run = RunBinary({input, "-l", "-o", dir / "report.xlsx"});
  if (immutable) (void)std::system(("chattr -i '" + input + "'").c_str());
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadAll(input), "a,1,2\nb,2,3\nc,5,1\n");
  EXPECT_TRUE(fs::exists(dir / "report.xlsx"));
  ::chmod(input.c_str(), 0644);
}

/// A small file system of its own for a test (tmpfs of `kib` KiB), unmounted at the end;
/// empty path when mounting is not allowed here.
class SmallDisk {
 public:
  SmallDisk(const TempDir& dir, int kib) : folder_(dir.path() / "disk") {
    fs::create_directories(folder_);
    const std::string options = "size=" + std::to_string(kib) + "k";
    mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;
  bool mounted() const { return mounted_; }
  const fs::path& folder() const { return folder_; }

 private:
  fs::path folder_;
  bool mounted_ = false;
};

TEST(Faults, FullDiskLeavesTheOldWorkbookAndNoPartialFile) {
  TempDir dir;
  SmallDisk disk(dir, 64);
  DEZ_NEEDS(disk.mounted(), "mounting a small tmpfs (needs the superuser)");
  const std::string output = (disk.folder() / "report.xlsx").string();
  { std::ofstream(output, std::ios::binary) << "old workbook"; }
  // A report far larger than 64 KiB: 300 items give a 300 x 300 matrix.
  const std::string input = dir.Write("items.csv", MetricRows(300));
  const Outcome run = RunBinary({input, "-o", output, "--text-dendrogram"});
  EXPECT_EQ(run.status, 2) << run.err;
  EXPECT_TRUE(HasLine(run.err, "hcluster: cannot write the output: " + output + "...")) << run.err;
  EXPECT_EQ(ReadAll(output), "old workbook");
  EXPECT_EQ(FilesIn(disk.folder()), std::vector<std::string>{"report.xlsx"});
}

}  // namespace
}  // namespace dez::cli::testing
