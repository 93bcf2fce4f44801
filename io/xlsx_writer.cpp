#include "io/xlsx_writer.h"

#include <xlsxwriter.h>

#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "io/atomic_output_file.h"
#include "io/file_error.h"
#include "io/xlsx_format_cache.h"
#include "io/xlsx_sheet_writer.h"
#include "io/written_package_check.h"

namespace dez::io {

namespace {

constexpr const char* kSource = "WriteXlsx";

/// Closes a libxlsxwriter workbook exactly once (which also frees it).
class WorkbookHandle {
 public:
  explicit WorkbookHandle(lxw_workbook* workbook) : workbook_(workbook) {}
  ~WorkbookHandle() {
    if (workbook_ != nullptr) {
      ReleaseEmptySheetFiles();
      workbook_close(workbook_);
    }
  }
  WorkbookHandle(const WorkbookHandle&) = delete;
  WorkbookHandle& operator=(const WorkbookHandle&) = delete;
  lxw_workbook* get() const { return workbook_; }
  lxw_error Close() {
    ReleaseEmptySheetFiles();
    const lxw_error error = workbook_close(workbook_);
    workbook_ = nullptr;
    return error;
  }

 private:
  // In constant-memory mode every worksheet writes its rows to a temporary file, which
  // libxlsxwriter closes only when it copies those rows into the package; a sheet without
  // rows never reads the file, so it stayed open for the rest of the process (one file
  // descriptor per empty sheet per workbook written). Close it here.
  void ReleaseEmptySheetFiles() {
    lxw_worksheet* worksheet = nullptr;
    LXW_FOREACH_WORKSHEET(worksheet, workbook_) {
      if (worksheet->optimize != 0 && worksheet->optimize_tmpfile != nullptr && worksheet->dim_rowmin == LXW_ROW_MAX) {
        std::fclose(worksheet->optimize_tmpfile);
        worksheet->optimize_tmpfile = nullptr;
      }
    }
  }

  lxw_workbook* workbook_;
};

}  // namespace

void XlsxWriter::Write(const embedded::EmbeddedWorkbook& book, const std::filesystem::path& path,
                       const XlsxWriteOptions& options) {
  AtomicOutputFile output(path, kSource);
  Write(book, output, options);
  output.Commit();
}

void XlsxWriter::Write(const embedded::EmbeddedWorkbook& book, AtomicOutputFile& output,
                       const XlsxWriteOptions& options) {
  try {
    WriteWorkbook(book, output, options);
  } catch (const std::bad_alloc&) {
    throw FileError(FileErrorKind::kWrite, output.Destination().string(), {}, "out of memory while writing the workbook",
                    kSource);
  }
}

void XlsxWriter::WriteWorkbook(const embedded::EmbeddedWorkbook& book, AtomicOutputFile& output,
                               const XlsxWriteOptions& options) {
  const std::string fileName = output.Destination().string();
  lxw_workbook_options lxwOptions{};
  lxwOptions.constant_memory = LXW_TRUE;
  std::string helperFolder = output.HelperFolder().string();
  lxwOptions.tmpdir = helperFolder.data();
  const std::string tempName = output.TempPath().string();
  WorkbookHandle workbook(workbook_new_opt(tempName.c_str(), &lxwOptions));
  if (workbook.get() == nullptr) {
    throw FileError(FileErrorKind::kWrite, fileName, {}, "cannot start the workbook", kSource);
  }
  XlsxFormatCache formats(workbook.get(), book.Styles());

  const auto active = book.ActiveSheet();
  std::int32_t index = 0;
  for (const auto& sheet : book.Sheets()) {
    lxw_worksheet* worksheet = workbook_add_worksheet(workbook.get(), sheet->Name().c_str());
    if (worksheet == nullptr) {
      throw FileError(FileErrorKind::kWrite, fileName, FileLocation{sheet->Name(), 0, 0, {}},
                      "the sheet name is not accepted by the file format", kSource);
    }
    XlsxSheetWriter(fileName, *sheet, worksheet, formats).Write();
    if (sheet == active) worksheet_activate(worksheet);
    if (options.afterSheet) options.afterSheet(XlsxSheetContext{workbook.get(), worksheet, *sheet, index});
    ++index;
  }
  if (options.beforeClose) options.beforeClose(workbook.get());

  if (const lxw_error error = workbook.Close(); error != LXW_NO_ERROR) {
    throw FileError(FileErrorKind::kWrite, fileName, {}, std::string("cannot write: ") + lxw_strerror(error), kSource);
  }
  if (options.afterClose) options.afterClose(output.TempPath());
  WrittenPackageCheck::Verify(output.TempPath(), fileName, kSource);
}

}  // namespace dez::io
