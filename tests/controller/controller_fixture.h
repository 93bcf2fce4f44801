// A user workbook (sheets "Data" and "Out") in a fresh embedded application, and the
// controller working on it.
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
#include "tests/support/error_of.h"

namespace dez::testing {

using Row = std::vector<Variant>;
using test::ErrorOf;

class ControllerFixture : public ::testing::Test {
 protected:
  ControllerFixture() {
    context = embedded::MakeEmbeddedAddinContext(app, box);
    book = app->AddWorkbook("Book1.xlsx", {"Data", "Out"});
    data = book->FindSheet("Data");
    out = book->FindSheet("Out");
  }

  /// Writes `rows` with their top-left cell at (row, column) of the data sheet.
  void Put(std::int32_t row, std::int32_t column, const std::vector<Row>& rows) {
    for (std::size_t r = 0; r < rows.size(); ++r) {
      for (std::size_t c = 0; c < rows[r].size(); ++c) {
        data->WriteCell(row + static_cast<std::int32_t>(r), column + static_cast<std::int32_t>(c), rows[r][c]);
      }
    }
  }

  /// Sets the options a user sets before Results; measure -1 leaves the measure alone.
  static void Options(clsHCluster& hc, std::int32_t clusterType, std::int32_t method, const std::string& range,
                      std::int32_t measure = -1, bool headers = false) {
    hc.ClusterType(clusterType);
    hc.Method(method);
    if (measure >= 0) hc.Measure(measure);
    hc.Headers(headers);
    hc.VarRange(range);
  }

  /// The sheet that received the last report (the last sheet of the user workbook).
  std::shared_ptr<embedded::EmbeddedWorksheet> OutputSheet() const { return book->Sheets().back(); }

  /// Column 1 of `sheet` as texts, from row 1 to the last non-empty row.
  static std::vector<std::string> ColumnA(const embedded::EmbeddedWorksheet& sheet) {
    std::vector<std::string> lines;
    const auto used = sheet.UsedRange();
    if (!used) return lines;
    for (std::int32_t r = 1; r <= used->bottom; ++r) lines.push_back(sheet.ValueAt(r, 1).ToText());
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
  }

  std::shared_ptr<embedded::EmbeddedApplication> app = embedded::EmbeddedApplication::Create();
  std::shared_ptr<embedded::RecordingMessageBox> box = std::make_shared<embedded::RecordingMessageBox>();
  host::AddinContext context;
  std::shared_ptr<embedded::EmbeddedWorkbook> book;
  std::shared_ptr<embedded::EmbeddedWorksheet> data;
  std::shared_ptr<embedded::EmbeddedWorksheet> out;
};

}  // namespace dez::testing
