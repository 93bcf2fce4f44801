// The application: its start state, workbooks, Range(text) in every form, Range(cell, cell),
// Worksheets.Add, Sheets, charts and screen updating.
#include <gtest/gtest.h>

#include "host/embedded/embedded_chart.h"
#include "host_test_support.h"

namespace dez::embedded::test {
namespace {

TEST(ApplicationStart, OnlyTheAddinIsOpenAndNothingIsActive) {
  const auto app = EmbeddedApplication::Create();
  ASSERT_EQ(app->OpenWorkbooks().size(), 1U);
  const auto addin = app->AddinWorkbook();
  EXPECT_EQ(addin->Name(), "Korvel.xla");
  EXPECT_TRUE(addin->IsAddin());
  EXPECT_EQ(addin->WorksheetsCount(), 1);
  EXPECT_EQ(app->Workbooks("korvel.XLA")->Worksheets("Results")->Name(), "Results");
  EXPECT_EQ(app->ActiveBook(), nullptr);
  ExpectRaises(91, {[&] { app->ActiveWorkbook(); }, [&] { app->WorksheetsAdd(); }, [&] { app->Range("A1"); },
                    [&] { app->Range("Data!A1"); }, [&] { app->Sheets("Results"); }, [&] { app->ChartsAdd(); },
                    [&] { app->ActiveChart(); }});
  EXPECT_EQ(NumberOf([&] { addin->Activate(); }), 1004);
  // The scratch sheet is reachable by a workbook-qualified address.
  EXPECT_EQ(app->Range("[Korvel.xla]Results!B2")->Address(), "$B$2");
  EXPECT_TRUE(app->IsScreenUpdating());
}

using ApplicationTest = HostTest;

TEST_F(ApplicationTest, AddedWorkbooksBecomeActive) {
  EXPECT_EQ(app_->ActiveWorkbook()->Name(), "Book1.xlsx");
  const auto second = app_->AddWorkbook("Second.csv");
  EXPECT_EQ(second->Sheets()[0]->Name(), "Sheet1");
  EXPECT_EQ(app_->ActiveWorkbook()->Name(), "Second.csv");
  book_->Activate();
  EXPECT_EQ(app_->ActiveBook(), book_);
  app_->CloseWorkbook("BOOK1.XLSX");
  EXPECT_EQ(app_->ActiveBook(), second);
  app_->CloseWorkbook("Second.csv");
  EXPECT_EQ(app_->ActiveBook(), nullptr);
}

TEST_F(ApplicationTest, WorkbookFailures) {
  ExpectRaises(9, {[&] { app_->Workbooks("Missing.xlsx"); }, [&] { app_->CloseWorkbook("Missing"); },
                   [&] { app_->Sheets("Results"); }});
  ExpectRaises(1004, {[&] { app_->AddWorkbook("book1.xlsx"); }, [&] { app_->AddWorkbook(""); },
                      [&] { app_->AddWorkbook("Bad.xlsx", {"a/b"}); }, [&] { app_->CloseWorkbook("Korvel.xla"); }});
  EXPECT_EQ(app_->FindWorkbook("Bad.xlsx"), nullptr);
  EXPECT_EQ(app_->Sheets("other"), other_) << "Sheets looks in the active workbook";
}

// The parser owns the forms (address_parser_test.cpp); here the sheet and workbook they
// name are found, case aside, and the areas print back as absolute addresses.
TEST_F(ApplicationTest, RangeFindsTheSheetEachFormNames) {
  other_->Name("My Sheet");
  app_->AddWorkbook("Other Book.xlsx", {"Data"});
  book_->Activate();
  const struct {
    const char* text;
    const char* sheet;
    const char* address;
    std::int32_t areas;
  } cases[] = {
      {"data!A1", "Data", "$A$1", 1},
      {"'My Sheet'!$A$1:$F$21", "My Sheet", "$A$1:$F$21", 1},
      {"[Book1.xlsx]Data!A1", "Data", "$A$1", 1},
      {"'[Other Book.xlsx]Data'!C3", "Data", "$C$3", 1},
      {"A1:B2,D4,E:E", "Data", "$A$1:$B$2,$D$4,$E:$E", 3},
      {"'My Sheet'!A1,'My Sheet'!B2", "My Sheet", "$A$1,$B$2", 2},
  };
  for (const auto& c : cases) {
    const auto range = R(c.text);
    ASSERT_NE(range, nullptr) << c.text;
    EXPECT_EQ(range->Sheet()->Name(), c.sheet) << c.text;
    EXPECT_EQ(range->Address(), c.address) << c.text;
    EXPECT_EQ(range->AreasCount(), c.areas) << c.text;
  }
  EXPECT_EQ(R("'[Other Book.xlsx]Data'!C3")->Sheet()->Book()->Name(), "Other Book.xlsx");
  other_->Activate();
  EXPECT_EQ(R("A1")->Sheet(), other_) << "unqualified addresses follow the active sheet";
}

TEST_F(ApplicationTest, RangeFailuresCarryTheTextAndTheCallersLocation) {
  for (const char* text : {"A0", "Nope!A1", "[Nope.xlsx]Data!A1", "[Book1.xlsx]Nope!A1", "Data!A1,Other!A1"}) {
    const Error e = ErrorOf([&] { app_->Range(text); });
    EXPECT_EQ(e.number, 1004) << text;
    EXPECT_NE(e.description.find("Range"), std::string::npos) << e.description;
  }
  EXPECT_NE(ErrorOf([&] { app_->Range("Nope!A1"); }).description.find("'Nope'"), std::string::npos);
  const host::Loc here = host::Loc::current();
  const Error e = ErrorOf([&] { app_->Range("A0", here); });
  EXPECT_EQ(e.line, here.line());
  EXPECT_EQ(e.file, here.file_name());
}

TEST_F(ApplicationTest, RangeOfTwoCorners) {
  EXPECT_EQ(app_->Range(data_->Cells(5, 2), data_->Cells(2, 4))->Address(), "$B$2:$D$5");
  EXPECT_EQ(app_->Range(data_->Range("A1:B2"), data_->Range("D4"))->Address(), "$A$1:$D$4");
  EXPECT_EQ(NumberOf([&] { app_->Range(data_->Cells(1, 1), other_->Cells(2, 2)); }), 1004);
  EXPECT_EQ(NumberOf([&] { app_->Range(nullptr, data_->Cells(2, 2)); }), 91);
}

TEST_F(ApplicationTest, WorksheetsAddGoesBeforeTheActiveSheetAndActivates) {
  other_->Activate();
  const auto added = app_->WorksheetsAdd();
  EXPECT_EQ(added->Name(), "Sheet1");
  EXPECT_EQ(book_->Sheets()[1], added);
  EXPECT_EQ(book_->ActiveSheet(), added);
  EXPECT_EQ(app_->WorksheetsAdd()->Name(), "Sheet2");
  EXPECT_EQ(book_->WorksheetsCount(), 4);
  EXPECT_EQ(app_->AddinWorkbook()->WorksheetsCount(), 1) << "the add-in workbook is never the target";
}

}  // namespace
}  // namespace dez::embedded::test
