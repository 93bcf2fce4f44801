// Shared fixture of the embedded host's tests: a fresh application with one user
// workbook per test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_range.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "runtime/error.h"
#include "tests/support/error_of.h"

namespace dez::embedded::test {

using dez::test::ErrorOf;
using dez::test::ExpectRaises;
using dez::test::NumberOf;

/// An application with the user workbook "Book1.xlsx" (sheets "Data" and "Other") open
/// and active, "Data" the active sheet.
class HostTest : public ::testing::Test {
 protected:
  HostTest()
      : app_(EmbeddedApplication::Create()),
        book_(app_->AddWorkbook("Book1.xlsx", {"Data", "Other"})),
        data_(book_->FindSheet("Data")),
        other_(book_->FindSheet("Other")) {}

  /// The embedded range of an address of the application.
  std::shared_ptr<EmbeddedRange> R(const std::string& address) {
    return std::dynamic_pointer_cast<EmbeddedRange>(app_->Range(address));
  }
  /// The scratch sheet "Results" of the add-in workbook.
  std::shared_ptr<EmbeddedWorksheet> Scratch() { return app_->AddinWorkbook()->FindSheet("Results"); }

  std::shared_ptr<EmbeddedApplication> app_;
  std::shared_ptr<EmbeddedWorkbook> book_;
  std::shared_ptr<EmbeddedWorksheet> data_;
  std::shared_ptr<EmbeddedWorksheet> other_;
};

}  // namespace dez::embedded::test
