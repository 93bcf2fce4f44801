#include "io/host_workbook_sink.h"

#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "io/file_error.h"

namespace dez::io {

HostWorkbookSink::HostWorkbookSink(embedded::EmbeddedApplication& app, std::string workbookName, std::string fileName,
                                   std::string source)
    : app_(app), workbookName_(std::move(workbookName)), fileName_(std::move(fileName)), source_(std::move(source)) {}

void HostWorkbookSink::BeginSheet(const std::string& name) {
  if (!book_) {
    if (app_.FindWorkbook(workbookName_)) {
      throw FileError(FileErrorKind::kOpen, fileName_, {}, "a workbook named \"" + workbookName_ + "\" is already open",
                      source_);
    }
    try {
      book_ = app_.AddWorkbook(workbookName_, {name});
    } catch (const Error& e) {
      throw FileError(FileErrorKind::kMalformed, fileName_, FileLocation{name, 0, 0, {}},
                      "the sheet cannot be opened: " + e.description, source_);
    }
    sheet_ = book_->Sheets().front();
    return;
  }
  try {
    sheet_ = book_->AddSheet(name);
  } catch (const Error& e) {
    throw FileError(FileErrorKind::kMalformed, fileName_, FileLocation{name, 0, 0, {}},
                    "the sheet cannot be opened: " + e.description, source_);
  }
}

void HostWorkbookSink::SetCell(std::int32_t row, std::int32_t column, Variant value) {
  try {
    sheet_->WriteCell(row, column, std::move(value));
  } catch (const Error& e) {
    throw FileError(FileErrorKind::kLimit, fileName_, FileLocation{sheet_->Name(), row, column, {}}, e.description,
                    source_);
  }
}

}  // namespace dez::io
