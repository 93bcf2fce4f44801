// A CellSink that stores what a reader delivers in a new workbook of the embedded
// application.
#pragma once

#include <memory>
#include <string>

#include "io/cell_sink.h"

namespace dez::embedded {
class EmbeddedApplication;
class EmbeddedWorkbook;
class EmbeddedWorksheet;
}  // namespace dez::embedded

namespace dez::io {

class HostWorkbookSink : public CellSink {
 public:
  /// The workbook `workbookName` is opened in `app` at the first sheet (so it becomes the
  /// active workbook); `fileName` names the file in error messages, `source` the reader.
  HostWorkbookSink(embedded::EmbeddedApplication& app, std::string workbookName, std::string fileName,
                   std::string source);

  /// Sheet names the host refuses are a FileError (kMalformed) naming the sheet.
  void BeginSheet(const std::string& name) override;
  /// Values the host refuses (a text too long for a cell) are a FileError (kLimit) naming
  /// the cell.
  void SetCell(std::int32_t row, std::int32_t column, Variant value) override;
  void EndSheet() override {}

  /// The workbook, once the first sheet began; nullptr before.
  const std::shared_ptr<embedded::EmbeddedWorkbook>& Workbook() const { return book_; }

 private:
  embedded::EmbeddedApplication& app_;
  std::string workbookName_;
  std::string fileName_;
  std::string source_;
  std::shared_ptr<embedded::EmbeddedWorkbook> book_;
  std::shared_ptr<embedded::EmbeddedWorksheet> sheet_;
};

}  // namespace dez::io
