// A minimal add-in context for the engine tests.
//
// The engine reaches the host only for the statistics class and for TDist. Here the
// statistics come from the embedded library's class, and the host application offers
// only WorksheetFunction().TDist, computed by the embedded Student t; every other member
// raises, so a test notices when the engine reaches for something it should not.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "host/addin_context.h"
#include "host/application.h"
#include "host/embedded/statistics.h"
#include "host/embedded/student_t.h"
#include "host/worksheet_function.h"
#include "runtime/error.h"

namespace dez::enginetest {

[[noreturn]] inline void NotInEngineTests(host::Loc where) {
  throw Error(fault::kApplicationDefined, "TestHost", "not available to the engine tests", where);
}

class FakeWorksheetFunction final : public host::WorksheetFunction {
 public:
  int tdistCalls = 0;
  double lastX = 0.0;
  std::int32_t lastDf = 0;
  /// When set, TDist raises this error number instead of computing.
  std::int32_t failWith = 0;

  double CountIf(const host::RangePtr&, const Variant&, host::Loc where) override { NotInEngineTests(where); }
  double Count(const host::RangePtr&, host::Loc where) override { NotInEngineTests(where); }
  double CountA(const host::RangePtr&, host::Loc where) override { NotInEngineTests(where); }
  double Var(const host::RangePtr&, host::Loc where) override { NotInEngineTests(where); }
  double TDist(double x, std::int32_t df, std::int16_t tails, host::Loc where) override {
    ++tdistCalls;
    lastX = x;
    lastDf = df;
    if (failWith != 0) throw Error(failWith, "WorksheetFunction", {}, where);
    return embedded::StudentTDist(x, df, tails, where);
  }
};

class FakeApplication final : public host::Application {
 public:
  std::shared_ptr<FakeWorksheetFunction> functions = std::make_shared<FakeWorksheetFunction>();

  host::RangePtr Range(const std::string&, host::Loc where) override { NotInEngineTests(where); }
  host::RangePtr Range(const host::RangePtr&, const host::RangePtr&, host::Loc where) override {
    NotInEngineTests(where);
  }
  host::WorkbookPtr Workbooks(const std::string&, host::Loc where) override { NotInEngineTests(where); }
  host::WorkbookPtr ActiveWorkbook(host::Loc where) override { NotInEngineTests(where); }
  host::WorksheetPtr WorksheetsAdd(host::Loc where) override { NotInEngineTests(where); }
  host::WorksheetPtr Sheets(const std::string&, host::Loc where) override { NotInEngineTests(where); }
  host::WorksheetFunctionPtr WorksheetFunction() override { return functions; }
  host::ChartPtr ChartsAdd(host::Loc where) override { NotInEngineTests(where); }
  host::ChartPtr ActiveChart(host::Loc where) override { NotInEngineTests(where); }
  void ScreenUpdating(bool) override { NotInEngineTests(host::Loc::current()); }
};

class FakeHostAccess final : public host::clsHostAccess {
 public:
  std::shared_ptr<FakeApplication> application = std::make_shared<FakeApplication>();
  host::ApplicationPtr HostApplication(host::Loc) override { return application; }
};

/// Statistics whose Correlate can be replaced by a fixed coefficient; everything else is
/// the embedded library's.
class ScriptedStatistics final : public host::clsStatistics {
 public:
  ScriptedStatistics(std::function<double()> coefficient, int* alive)
      : coefficient_(std::move(coefficient)), alive_(alive) {
    ++*alive_;
  }
  ~ScriptedStatistics() override { --*alive_; }
  ScriptedStatistics(const ScriptedStatistics&) = delete;
  ScriptedStatistics& operator=(const ScriptedStatistics&) = delete;
  DoubleMatrix ToDoubleMatrix(const VariantMatrix& v, host::Loc where) override { return real_.ToDoubleMatrix(v, where); }
  StringMatrix ToStringArray(const VariantMatrix& v, host::Loc where) override { return real_.ToStringArray(v, where); }
  DoubleMatrix PrepareCorrelation(const DoubleMatrix& d, host::Loc where) override {
    return real_.PrepareCorrelation(d, where);
  }
  DoubleMatrix CorrelationMatrix(const DoubleMatrix& p, bool flag, host::Loc where) override {
    return real_.CorrelationMatrix(p, flag, where);
  }
  DoubleMatrix Correlate(const DoubleMatrix& x, const DoubleMatrix& y, host::Loc where) override {
    if (!coefficient_) return real_.Correlate(x, y, where);
    return DoubleMatrix(1, 1, coefficient_());
  }

 private:
  std::function<double()> coefficient_;
  int* alive_;
  embedded::clsStatisticsEmbedded real_;
};

/// The context: embedded statistics, the fake host. Set `coefficient` to make Correlate
/// return a fixed value; `statisticsCreated` and `statisticsAlive` count the instances.
struct TestContext {
  std::shared_ptr<FakeHostAccess> hostAccess = std::make_shared<FakeHostAccess>();
  std::function<double()> coefficient;
  int statisticsCreated = 0;
  int statisticsAlive = 0;
  host::AddinContext context;

  TestContext() {
    context.hostAccess = hostAccess;
    context.newStatistics = [this]() -> std::unique_ptr<host::clsStatistics> {
      ++statisticsCreated;
      return std::make_unique<ScriptedStatistics>(coefficient, &statisticsAlive);
    };
  }
  TestContext(const TestContext&) = delete;
  TestContext& operator=(const TestContext&) = delete;

  FakeWorksheetFunction& functions() { return *hostAccess->application->functions; }
};

}  // namespace dez::enginetest
