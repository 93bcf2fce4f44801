// A workbook of the embedded host shaped like a report: values of every kind, numbers at
// the edges of what a file keeps, fonts, bold, number formats, alignment, fills, and a
// text dendrogram in the glyph font.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "host/embedded/object_model_constants.h"

namespace dez::io::testing {

/// The default style changed by `edit`.
inline embedded::CellStyle Styled(const std::function<void(embedded::CellStyle&)>& edit) {
  embedded::CellStyle style;
  edit(style);
  return style;
}

/// `style` whose characters `start` .. `start` + `length` - 1 take the font `font` (when
/// given) and boldness `bold` (when given).
inline embedded::CellStyle WithRun(std::int32_t start, std::int32_t length, std::optional<std::string> font,
                                   std::optional<bool> bold = {}, embedded::CellStyle style = {}) {
  style.ApplyCharacterFont(start, length, embedded::FontRun{1, 0, std::move(font), {}, bold});
  return style;
}

/// A dendrogram line as the report writes it: a Courier New label field of `labelWidth`
/// characters, then glyph letters in the font "Korvel", all 8 points.
inline embedded::CellStyle DendrogramStyle(std::int32_t labelWidth) {
  return WithRun(1, labelWidth, "Courier New", {}, Styled([](auto& s) {
                   s.fontName = "Korvel";
                   s.fontSize = 8;
                 }));
}

/// Writes `values` into row `row` from column `column` on, leaving Empty ones out.
inline void WriteRow(embedded::EmbeddedWorksheet& sheet, std::int32_t row, const std::vector<Variant>& values,
                     const embedded::CellStyle& style = {}, std::int32_t column = 1) {
  for (const Variant& v : values) {
    if (!v.IsEmpty()) sheet.WriteCell(row, column, v, style);
    ++column;
  }
}

struct SampleWorkbook {
  std::shared_ptr<embedded::EmbeddedApplication> app;
  std::shared_ptr<embedded::EmbeddedWorkbook> book;

  static SampleWorkbook Make(const std::string& name = "Sample.xlsx") {
    SampleWorkbook s;
    s.app = embedded::EmbeddedApplication::Create();
    s.book = s.app->AddWorkbook(name, {"Data", "Report"});
    auto& data = *s.book->Sheets()[0];
    WriteRow(data, 1, {"Item", "x", "flag"});
    WriteRow(data, 2, {"alpha", 1.5, true});
    WriteRow(data, 3, {"beta \xE2\x80\x94 \xC3\xA9", -2.25e-7, false});
    WriteRow(data, 4, {"tab\there, line\nbreak", 0.1 + 0.2, CellError{2007}});
    WriteRow(data, 5, {{}, 123456789012345.0, CellError{2042}});
    WriteRow(data, 6, {"<&> \"quoted\" 'single'"});
    std::int32_t row = 7;
    for (const std::int32_t code : {2000, 2015, 2023, 2029, 2036}) data.WriteCell(row++, 4, CellError{code});
    // Numbers of 16 digits and more, the smallest and the largest (column F).
    const double numbers[] = {-0.0, 2.0 / 3.0, 1e-300, -4.9e-324, 1.797693134862315e308, 123456789012345.6,
                              -1.7976931348623157e308};
    for (std::int32_t i = 0; i < 7; ++i) data.WriteCell(i + 1, 6, numbers[i]);

    auto& report = *s.book->Sheets()[1];
    report.WriteCell(1, 1, "Hierarchical cluster analysis of a long title that overflows",
                     Styled([](auto& s) { s.bold = true; }));
    WriteRow(report, 3, {"A", "B"},
             Styled([](auto& s) {
               s.bold = true;
               s.horizontalAlignment = embedded::kAlignCenter;
               s.interiorColorIndex = embedded::kColorIndexGray25;
             }), 2);
    WriteRow(report, 4, {"A"});
    const auto matrix = Styled([](auto& s) { s.numberFormat = "0.000"; });
    WriteRow(report, 4, {0.0, 2.0 / 3.0}, matrix, 2);
    WriteRow(report, 5, {"B"});
    WriteRow(report, 5, {2.0 / 3.0, 0.0}, matrix, 2);
    report.WriteCell(6, 2, 42.0, Styled([](auto& s) {
                       s.fontName = "Arial";
                       s.fontSize = 12;
                       s.numberFormat = "0";
                       s.horizontalAlignment = embedded::kAlignRight;
                     }));
    // A text dendrogram of two items: label field of 3, glyph letters after it.
    const std::string lines[] = {
        "A  " + std::string(35, 'A') + "E", "   " + std::string(35, ' ') + "G" + std::string(44, 'A'),
        "B  " + std::string(35, 'A') + "C", "   G" + std::string(19, 'A') + "K" + std::string(19, 'A') + "K"};
    for (int i = 0; i < 4; ++i) report.WriteCell(8 + i, 1, lines[i], DendrogramStyle(3));
    // A cell with two fonts in one text: a rich string. Then one run over the whole text,
    // a run past the end of a short text, and the glyph font over a whole cell: each one
    // piece, written as a plain string in its font.
    report.WriteCell(13, 1, "Note: bold part here", WithRun(7, 4, {}, true));
    report.WriteCell(15, 1, "abcde", WithRun(1, 5, "Arial"));
    report.WriteCell(16, 1, "ab", WithRun(3, 10, "Arial"));
    report.WriteCell(17, 1, "ABCEGHK xyz", Styled([](auto& s) { s.fontName = "Korvel"; }));
    report.SetColumnWidth(5, 120.0);
    report.SetRowHeight(14, 30.0);
    s.book->SetActiveSheet(s.book->Sheets()[1]);
    return s;
  }
};

}  // namespace dez::io::testing
