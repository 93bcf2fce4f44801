// The file formats under load, and the XLSX writer against libxlsxwriter alone.
//
// - ReadCsv: a CSV of 16,384 rows x 16 columns (15 numbers and a label per row), parsed
//   alone (null sink) and loaded into a workbook of the embedded host.
// - ReadXlsx: an XLSX of 4,000,000 numeric cells (62,500 rows x 64 columns), parsed into
//   a sink that keeps nothing and loaded into the host. `rss_growth_MB` is the growth of
//   the process's peak resident memory during the benchmark: near zero for the parse
//   alone (memory does not grow with the sheet), the cells kept for the load.
// - WriteXlsx: a host workbook of 4,000,000 numeric cells saved by XlsxWriter, and the
//   same numbers written by libxlsxwriter directly (constant-memory mode, as the writer
//   uses). At the end the run prints the ratio writer / direct.
//
// Counters: `cells` per second (items_per_second). The input files are made once, in the
// system's temporary folder, and removed when the run ends.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "io/cell_sink.h"
#include "io/csv_reader.h"
#include "io/workbook_reader.h"
#include "io/xlsx_reader.h"
#include "io/xlsx_writer.h"

namespace dez::io {
namespace {

constexpr std::int32_t kCsvRows = 16'384;
constexpr std::int32_t kCsvColumns = 16;
constexpr std::int32_t kXlsxRows = 62'500;
constexpr std::int32_t kXlsxColumns = 64;
constexpr std::int64_t kXlsxCells = std::int64_t{kXlsxRows} * kXlsxColumns;

/// A value for cell (r, c) with a realistic number of digits.
double CellNumber(std::int32_t r, std::int32_t c) { return (r * 31 + c * 17) % 10007 / 97.0; }

const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() / ("dez_io_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

const std::filesystem::path& CsvFile() {
  static const std::filesystem::path file = [] {
    const auto path = Folder() / "data.csv";
    std::ofstream out(path, std::ios::binary);
    out << "label";
    for (std::int32_t c = 1; c < kCsvColumns; ++c) out << ",v" << c;
    out << "\r\n";
    for (std::int32_t r = 1; r < kCsvRows; ++r) {
      out << "\"item " << r << "\"";
      for (std::int32_t c = 1; c < kCsvColumns; ++c) out << ',' << CellNumber(r, c);
      out << "\r\n";
    }
    return path;
  }();
  return file;
}

/// Writes kXlsxRows x kXlsxColumns numbers with libxlsxwriter alone.
void WriteDirect(const std::filesystem::path& path) {
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  lxw_workbook* workbook = workbook_new_opt(path.c_str(), &options);
  lxw_worksheet* sheet = workbook_add_worksheet(workbook, "Data");
  for (std::int32_t r = 0; r < kXlsxRows; ++r) {
    for (std::int32_t c = 0; c < kXlsxColumns; ++c) {
      worksheet_write_number(sheet, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c), CellNumber(r + 1, c + 1),
                             nullptr);
    }
  }
  if (workbook_close(workbook) != LXW_NO_ERROR) std::abort();
}

const std::filesystem::path& XlsxFile() {
  static const std::filesystem::path file = [] {
    const auto path = Folder() / "data.xlsx";
    WriteDirect(path);
    return path;
  }();
  return file;
}

double PeakRssMB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

class NullSink : public CellSink {
 public:
  std::int64_t cells = 0;
  void BeginSheet(const std::string&) override {}
  void SetCell(std::int32_t, std::int32_t, Variant value) override {
    benchmark::DoNotOptimize(value);
    ++cells;
  }
  void EndSheet() override {}
};

void BM_ReadCsvParseOnly(benchmark::State& state) {
  const auto& file = CsvFile();
  for (auto _ : state) {
    NullSink sink;
    CsvReader::ReadFile(file, "data", sink);
    benchmark::DoNotOptimize(sink.cells);
  }
  state.SetItemsProcessed(state.iterations() * kCsvRows * kCsvColumns);
}
BENCHMARK(BM_ReadCsvParseOnly)->Unit(benchmark::kMillisecond);

void BM_ReadCsvIntoHost(benchmark::State& state) {
  const auto& file = CsvFile();
  for (auto _ : state) {
    auto app = embedded::EmbeddedApplication::Create();
    const auto book = WorkbookReader::Read(*app, file);
    benchmark::DoNotOptimize(book->Sheets()[0]->Store().CellCount());
  }
  state.SetItemsProcessed(state.iterations() * kCsvRows * kCsvColumns);
}
BENCHMARK(BM_ReadCsvIntoHost)->Unit(benchmark::kMillisecond);

void BM_ReadXlsxParseOnly(benchmark::State& state) {
  const auto& file = XlsxFile();
  const double before = PeakRssMB();
  for (auto _ : state) {
    NullSink sink;
    XlsxReader::ReadFile(file, sink);
    if (sink.cells != kXlsxCells) state.SkipWithError("wrong cell count");
  }
  state.SetItemsProcessed(state.iterations() * kXlsxCells);
  state.counters["rss_growth_MB"] = PeakRssMB() - before;
}
BENCHMARK(BM_ReadXlsxParseOnly)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ReadXlsxIntoHost(benchmark::State& state) {
  const auto& file = XlsxFile();
  const double before = PeakRssMB();
  for (auto _ : state) {
    auto app = embedded::EmbeddedApplication::Create();
    const auto book = WorkbookReader::Read(*app, file);
    if (static_cast<std::int64_t>(book->Sheets()[0]->Store().CellCount()) != kXlsxCells) {
      state.SkipWithError("wrong cell count");
    }
  }
  state.SetItemsProcessed(state.iterations() * kXlsxCells);
  state.counters["rss_growth_MB"] = PeakRssMB() - before;
}
BENCHMARK(BM_ReadXlsxIntoHost)->Unit(benchmark::kMillisecond)->Iterations(2);

// The writer against libxlsxwriter alone: best time of each, compared at the end.
double bestWriter = 0.0;
double bestDirect = 0.0;

void Note(double& best, double seconds) {
  if (best == 0.0 || seconds < best) best = seconds;
}

void BM_WriteXlsxDirect(benchmark::State& state) {
  const auto path = Folder() / "direct.xlsx";
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    WriteDirect(path);
    Note(bestDirect, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  state.SetItemsProcessed(state.iterations() * kXlsxCells);
}

void BM_WriteXlsxWriter(benchmark::State& state) {
  auto app = embedded::EmbeddedApplication::Create();
  const auto book = app->AddWorkbook("Big.xlsx", {"Data"});
  auto& sheet = *book->Sheets()[0];
  for (std::int32_t r = 1; r <= kXlsxRows; ++r) {
    for (std::int32_t c = 1; c <= kXlsxColumns; ++c) sheet.WriteCell(r, c, Variant(CellNumber(r, c)));
  }
  const auto path = Folder() / "writer.xlsx";
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    XlsxWriter::Write(*book, path);
    Note(bestWriter, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  state.SetItemsProcessed(state.iterations() * kXlsxCells);
}

// Interleaved, so both see the same machine load.
BENCHMARK(BM_WriteXlsxDirect)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_WriteXlsxWriter)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace dez::io

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ec;
  std::filesystem::remove_all(dez::io::Folder(), ec);
  if (dez::io::bestWriter > 0.0 && dez::io::bestDirect > 0.0) {
    std::printf("XlsxWriter / libxlsxwriter alone, 4,000,000 numeric cells: %.3f s / %.3f s = %.2f\n",
                dez::io::bestWriter, dez::io::bestDirect, dez::io::bestWriter / dez::io::bestDirect);
  }
  return 0;
}
