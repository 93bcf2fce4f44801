// Shared fixture of the report writer's tests: a fresh embedded application per test,
// reached through the add-in context, and a formatter that records every call.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/embedded/embedded_addin_context.h"
#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "host/range.h"
#include "io/text_renderer.h"
#include "report/clsHClusterOutput.h"
#include "runtime/error.h"
#include "tests/support/error_of.h"

namespace dez {
/// Shows a cell value in test failures.
inline void PrintTo(const Variant& v, std::ostream* os) {
  switch (v.kind()) {
    case Variant::Kind::Empty: *os << "Empty"; break;
    case Variant::Kind::Number: *os << "Number " << FormatGeneral(v.number()); break;
    case Variant::Kind::Text: *os << "Text \"" << v.text() << "\""; break;
    case Variant::Kind::Boolean: *os << "Boolean " << v.boolean(); break;
    case Variant::Kind::Error: *os << "Error " << CellErrorText(v.error()); break;
  }
}
}  // namespace dez

namespace dez::report_test {

/// One call of the cell formatter: its role, the range's address and the flag.
struct FormatCall {
  std::string role;  ///< "HeadingBand", "ValueBlock" or "TextLine"
  std::string address;
  bool flag = false;
  friend bool operator==(const FormatCall&, const FormatCall&) = default;
  friend std::ostream& operator<<(std::ostream& os, const FormatCall& c) {
    return os << c.role << "(" << c.address << ", " << (c.flag ? "True" : "False") << ")";
  }
};

/// A cell formatter that records its calls and, when told to, fails one role with a
/// given error.
class RecordingFormatter final : public host::clsCellFormatter {
 public:
  struct Log {
    std::vector<FormatCall> calls;
    std::optional<std::string> failRole;
    std::string failSource;
  };
  explicit RecordingFormatter(std::shared_ptr<Log> log) : log_(std::move(log)) {}
  void FormatHeadingBand(const host::RangePtr& range, bool flag, host::Loc where) override {
    Record("HeadingBand", range, flag, where);
  }
  void FormatValueBlock(const host::RangePtr& range, bool flag, host::Loc where) override {
    Record("ValueBlock", range, flag, where);
  }
  void FormatTextLine(const host::RangePtr& range, bool flag, host::Loc where) override {
    Record("TextLine", range, flag, where);
  }

 private:
  void Record(const char* role, const host::RangePtr& range, bool flag, host::Loc where) {
    if (log_->failRole == role) Raise(fault::kApplicationDefined, log_->failSource, "formatter refused", where);
    log_->calls.push_back({role, range->Address(), flag});
  }
  std::shared_ptr<Log> log_;
};

class ReportTest : public ::testing::Test {
 protected:
  ReportTest()
      : app_(embedded::EmbeddedApplication::Create()),
        formats_(std::make_shared<RecordingFormatter::Log>()),
        context_(embedded::MakeEmbeddedAddinContext(app_)) {
    context_.newCellFormatter = [log = formats_] { return std::make_unique<RecordingFormatter>(log); };
  }

  /// The scratch sheet the writer fills.
  embedded::EmbeddedWorksheet& Sheet() { return *app_->AddinWorkbook()->FindSheet("Results"); }
  const Variant& At(std::int32_t row, std::int32_t column) { return Sheet().ValueAt(row, column); }
  const embedded::CellStyle& StyleAt(std::int32_t row, std::int32_t column) {
    return Sheet().StyleAt(row, column);
  }
  /// The sheet from A1 to its last used cell as the text renderer shows it.
  std::string Text() {
    const auto used = Sheet().UsedRange();
    return used ? io::TextRenderer::Render(Sheet(), {1, 1, used->bottom, used->right}) : "";
  }
  /// The formatter calls so far, then forgets them.
  std::vector<FormatCall> TakeFormats() { return std::exchange(formats_->calls, {}); }

  std::shared_ptr<embedded::EmbeddedApplication> app_;
  std::shared_ptr<RecordingFormatter::Log> formats_;
  host::AddinContext context_;
};

using dez::test::ErrorOf;

/// Matches "Line <n> in DEZEZuvazoz.clsHClusterOutput.<procedure>" with n > 0, followed
/// by `appended` (for example ".OutputMatrix").
inline ::testing::Matcher<std::string> SourceOf(const std::string& procedure, const std::string& appended = "") {
  return ::testing::MatchesRegex("Line [1-9][0-9]* in DEZEZuvazoz\\.clsHClusterOutput\\." + procedure + appended);
}

/// Items 1..n at positions 1, 3, ..., 2n - 1 and leaf level `leafLevel`, then `merges`.
inline Schedule Tree(std::int16_t n, double leafLevel, const std::vector<ScheduleEntry>& merges) {
  Schedule s(2 * n - 1);
  for (std::int16_t e = 1; e <= n; ++e) s[e] = {e, 0, {e}, leafLevel, 2.0 * e - 1};
  std::int32_t i = n + 1;
  for (const ScheduleEntry& m : merges) s[i++] = m;
  return s;
}

/// Labels "<prefix>1" .. "<prefix>n".
inline StringArray Labels(std::int32_t n, const std::string& prefix = "L") {
  std::vector<std::string> v;
  for (std::int32_t i = 1; i <= n; ++i) v.push_back(prefix + std::to_string(i));
  return StringArray(std::move(v));
}

}  // namespace dez::report_test
