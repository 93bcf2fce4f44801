// A workbook of the embedded host shaped like a report: values of every kind, fonts,
// bold, number formats, alignment, fills, and a text dendrogram in the glyph font.
#pragma once

#include <memory>
#include <string>

#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "host/embedded/object_model_constants.h"

namespace dez::io::testing {

/// A dendrogram line as the report writes it: a Courier New label field of `labelWidth`
/// characters, then glyph letters in the font "Korvel", all 8 points.
inline embedded::CellStyle DendrogramStyle(std::int32_t labelWidth, std::int32_t length) {
  embedded::CellStyle style;
  style.SetFontName("Korvel");
  style.SetFontSize(8);
  embedded::FontRun courier;
  courier.fontName = "Courier New";
  style.ApplyCharacterFont(1, labelWidth, courier);
  (void)length;
  return style;
}

struct SampleWorkbook {
  std::shared_ptr<embedded::EmbeddedApplication> app;
  std::shared_ptr<embedded::EmbeddedWorkbook> book;

  static SampleWorkbook Make(const std::string& name = "Sample.xlsx") {
    SampleWorkbook s;
    s.app = embedded::EmbeddedApplication::Create();
    s.book = s.app->AddWorkbook(name, {"Data", "Report"});
    auto& data = *s.book->Sheets()[0];
    data.WriteCell(1, 1, Variant("Item"));
    data.WriteCell(1, 2, Variant("x"));
    data.WriteCell(1, 3, Variant("flag"));
    data.WriteCell(2, 1, Variant("alpha"));
    data.WriteCell(2, 2, Variant(1.5));
    data.WriteCell(2, 3, Variant(true));
    data.WriteCell(3, 1, Variant("beta \xE2\x80\x94 \xC3\xA9"));
    data.WriteCell(3, 2, Variant(-2.25e-7));
    data.WriteCell(3, 3, Variant(false));
    data.WriteCell(4, 1, Variant("tab\there, line\nbreak"));
    data.WriteCell(4, 2, Variant(0.1 + 0.2));
    data.WriteCell(4, 3, Variant(CellError{2007}));
    data.WriteCell(5, 2, Variant(123456789012345.0));
    data.WriteCell(5, 3, Variant(CellError{2042}));
    data.WriteCell(6, 1, Variant("<&> \"quoted\" 'single'"));
    data.WriteCell(7, 4, Variant(CellError{2000}));
    data.WriteCell(8, 4, Variant(CellError{2015}));
    data.WriteCell(9, 4, Variant(CellError{2023}));
    data.WriteCell(10, 4, Variant(CellError{2029}));
    data.WriteCell(11, 4, Variant(CellError{2036}));

    auto& report = *s.book->Sheets()[1];
    embedded::CellStyle bold;
    bold.SetBold(true);
    report.WriteCell(1, 1, Variant("Hierarchical cluster analysis of a long title that overflows"), bold);
    embedded::CellStyle heading;
    heading.SetBold(true);
    heading.horizontalAlignment = embedded::kAlignCenter;
    heading.interiorColorIndex = embedded::kColorIndexGray25;
    report.WriteCell(3, 2, Variant("A"), heading);
    report.WriteCell(3, 3, Variant("B"), heading);
    embedded::CellStyle value;
    value.numberFormat = "0.000";
    report.WriteCell(4, 1, Variant("A"));
    report.WriteCell(4, 2, Variant(0.0), value);
    report.WriteCell(4, 3, Variant(2.0 / 3.0), value);
    report.WriteCell(5, 1, Variant("B"));
    report.WriteCell(5, 2, Variant(2.0 / 3.0), value);
    report.WriteCell(5, 3, Variant(0.0), value);
    embedded::CellStyle whole;
    whole.numberFormat = "0";
    whole.horizontalAlignment = embedded::kAlignRight;
    whole.SetFontName("Arial");
    whole.SetFontSize(12);
    report.WriteCell(6, 2, Variant(42.0), whole);
    // A text dendrogram of two items: label field of 3, glyph letters after it.
    const std::string lines[] = {
        "A  " + std::string(35, 'A') + "E", "   " + std::string(35, ' ') + "G" + std::string(44, 'A'),
        "B  " + std::string(35, 'A') + "C", "   G" + std::string(19, 'A') + "K" + std::string(19, 'A') + "K"};
    for (int i = 0; i < 4; ++i) {
      report.WriteCell(8 + i, 1, Variant(lines[i]), DendrogramStyle(3, static_cast<std::int32_t>(lines[i].size())));
    }
    // A cell with two fonts in one text: a rich string.
    embedded::CellStyle mixed;
    embedded::FontRun boldRun;
    boldRun.bold = true;
    mixed.ApplyCharacterFont(7, 4, boldRun);
    report.WriteCell(13, 1, Variant("Note: bold part here"), mixed);
    // One run over the whole text, a run past the end of a short text, and the glyph font
    // over a whole cell: each one piece, written as a plain string in its font.
    embedded::FontRun arial;
    arial.fontName = "Arial";
    embedded::CellStyle allOfIt;
    allOfIt.ApplyCharacterFont(1, 5, arial);
    report.WriteCell(15, 1, Variant("abcde"), allOfIt);
    embedded::CellStyle past;
    past.ApplyCharacterFont(3, 10, arial);
    report.WriteCell(16, 1, Variant("ab"), past);
    embedded::CellStyle glyphs;
    glyphs.SetFontName("Korvel");
    report.WriteCell(17, 1, Variant("ABCEGHK xyz"), glyphs);
    report.SetColumnWidth(5, 120.0);
    report.SetRowHeight(14, 30.0);
    s.book->SetActiveSheet(s.book->Sheets()[1]);
    return s;
  }
};

}  // namespace dez::io::testing
