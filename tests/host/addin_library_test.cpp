// The add-in library classes of the embedded host and the default context.
#include <gtest/gtest.h>

#include "dezezuvazoz/errors.h"
#include "host/embedded/cell_formatter.h"
#include "host/embedded/data_checks.h"
#include "host/embedded/embedded_addin_context.h"
#include "host/embedded/host_access.h"
#include "host/embedded/object_model_constants.h"
#include "host/embedded/recording_message_box.h"
#include "host/embedded/report_settings.h"
#include "host_test_support.h"

namespace dez::embedded::test {
namespace {

using AddinLibraryTest = HostTest;

TEST_F(AddinLibraryTest, CheckDataBlockAcceptsEveryBlockCheckOutputAreaRefusesDataAndTheSheetsEdge) {
  clsDataChecksEmbedded checks;
  std::int32_t out = 7;
  checks.CheckDataBlock(R("A1:C5"), true, 3, 0, 0, -1, 0, 0, 0, 0, out);
  EXPECT_EQ(out, 0);
  EXPECT_EQ(NumberOf([&] { checks.CheckDataBlock(nullptr, false, 3, 0, 0, -1, 0, 0, 0, 0, out); }), 91);
  host::RangePtr cell = data_->Cells(2, 2);
  checks.CheckOutputArea(cell, 6, 21, false);  // an empty area
  data_->WriteCell(22, 7, Variant(1));        // G22: the area's corner
  const Error covered = ErrorOf([&] { checks.CheckOutputArea(cell, 6, 21, false); });
  EXPECT_EQ(covered.number, AddinErrorNumber(addin_error::kOutputAreaRefused));
  EXPECT_NE(covered.description.find("$B$2:$G$22"), std::string::npos) << covered.description;
  checks.CheckOutputArea(cell, 6, 21, true);  // OverWrite lets it through
  checks.CheckOutputArea(cell, 5, 21, false);
  data_->Cells(3, 3)->NumberFormat("0");  // formats are no data
  checks.CheckOutputArea(cell, 5, 21, false);
  host::RangePtr low = data_->Cells(1048570, 1);
  checks.CheckOutputArea(low, 1, 7, true);
  host::RangePtr right = data_->Cells(1, 16380);
  host::RangePtr none;
  ExpectRaises(AddinErrorNumber(addin_error::kOutputAreaRefused),
               {[&] { checks.CheckOutputArea(low, 1, 8, true); }, [&] { checks.CheckOutputArea(right, 6, 1, true); }});
  EXPECT_EQ(cell->Address(), "$B$2") << "the output cell is left where it was";
  EXPECT_EQ(NumberOf([&] { checks.CheckOutputArea(none, 1, 1, true); }), 91);
  EXPECT_EQ(NumberOf([&] { checks.CheckOutputArea(cell, 0, 1, true); }), 5);
}

TEST_F(AddinLibraryTest, CellFormatterHouseStyle) {
  clsCellFormatterEmbedded f;
  f.FormatHeadingBand(R("A1:D1"), false);
  f.FormatHeadingBand(R("A1:A5"), true);
  f.FormatValueBlock(R("B2:D5"), false);
  f.FormatTextLine(R("A7"), true);
  f.FormatTextLine(R("A8"), false);
  const std::string font = CellStyle::kDefaultFontName;
  // The corner is in both bands: the later one's alignment.
  EXPECT_EQ(data_->StyleAt(1, 1), (CellStyle{font, 11.0, true, {}, "General", kAlignLeft, kColorIndexGray25}));
  EXPECT_EQ(data_->StyleAt(1, 3), (CellStyle{font, 11.0, true, {}, "General", kAlignCenter, kColorIndexGray25}));
  EXPECT_EQ(data_->StyleAt(3, 3), (CellStyle{font, 11.0, false, {}, "0.0000", kAlignGeneral, kColorIndexNone}));
  EXPECT_TRUE(data_->StyleAt(7, 1).bold);
  EXPECT_FALSE(data_->StyleAt(8, 1).bold);
  EXPECT_EQ(NumberOf([&] { f.FormatTextLine(nullptr, true); }), 91);
  EXPECT_EQ(clsReportSettingsEmbedded().BackColorIndex(), kColorIndexWhite) << "the report's sheet is white";
}

}  // namespace
}  // namespace dez::embedded::test
