// The add-in library as the component reaches it: its global objects and the factories
// of the classes the component creates per use. The controller receives one context;
// tests build their own with fakes (a refusing output-area check, a failing host call).
#pragma once

#include <functional>
#include <memory>

#include "host/addin_library.h"
#include "host/message_box.h"

namespace dez::host {

struct AddinContext {
  std::shared_ptr<clsHostAccess> hostAccess;
  std::shared_ptr<clsDataChecks> dataChecks;
  std::shared_ptr<clsHostConstants> hostConstants;
  std::function<std::unique_ptr<clsReportSettings>()> newReportSettings;
  std::function<std::unique_ptr<clsCellFormatter>()> newCellFormatter;
  std::function<std::unique_ptr<clsStatistics>()> newStatistics;
  std::shared_ptr<MessageBox> messageBox;
};

/// The process-wide context of the embedded application (defined by host/embedded).
AddinContext& DefaultAddinContext();

}  // namespace dez::host
