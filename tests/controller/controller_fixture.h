// A user workbook in a fresh embedded application, and the controller working on it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controller/clsHCluster.h"
#include "host/embedded/embedded_addin_context.h"
#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "host/embedded/recording_message_box.h"

namespace dez::testing {

using Row = std::vector<Variant>;

class ControllerFixture : public ::testing::Test {
 protected:
  ControllerFixture() {
    context = embedded::MakeEmbeddedAddinContext(app, box);
    book = app->AddWorkbook("Book1.xlsx", {"Data"});
    data = book->FindSheet("Data");
  }

  /// Writes `rows` with their top-left cell at (row, column) of the data sheet.
  void Put(std::int32_t row, std::int32_t column, const std::vector<Row>& rows) {
    for (std::size_t r = 0; r < rows.size(); ++r) {
      for (std::size_t c = 0; c < rows[r].size(); ++c) {
        data->WriteCell(row + static_cast<std::int32_t>(r), column + static_cast<std::int32_t>(c), rows[r][c]);
      }
    }
  }

  /// The sheet that received the last report (the last sheet of the user workbook).
  std::shared_ptr<embedded::EmbeddedWorksheet> OutputSheet() const { return book->Sheets().back(); }

  /// Column 1 of `sheet` as texts, from row 1 to the last non-empty row.
  static std::vector<std::string> ColumnA(const embedded::EmbeddedWorksheet& sheet) {
    std::vector<std::string> out;
    const auto used = sheet.UsedRange();
    if (!used) return out;
    for (std::int32_t r = 1; r <= used->bottom; ++r) out.push_back(sheet.ValueAt(r, 1).ToText());
    while (!out.empty() && out.back().empty()) out.pop_back();
    return out;
  }

  std::shared_ptr<embedded::EmbeddedApplication> app = embedded::EmbeddedApplication::Create();
  std::shared_ptr<embedded::RecordingMessageBox> box = std::make_shared<embedded::RecordingMessageBox>();
  host::AddinContext context;
  std::shared_ptr<embedded::EmbeddedWorkbook> book;
  std::shared_ptr<embedded::EmbeddedWorksheet> data;
};

/// The error raised by `f`, or a failure when none is.
template <class F>
Error ErrorOf(F&& f) {
  try {
    f();
  } catch (const Error& e) {
    return e;
  }
  ADD_FAILURE() << "no error raised";
  return Error(0, {}, {});
}

}  // namespace dez::testing
