#include "host/embedded/embedded_addin_context.h"

#include <iostream>

#include "host/embedded/cell_formatter.h"
#include "host/embedded/data_checks.h"
#include "host/embedded/embedded_application.h"
#include "host/embedded/host_access.h"
#include "host/embedded/host_constants.h"
#include "host/embedded/recording_message_box.h"
#include "host/embedded/report_settings.h"
#include "host/embedded/statistics.h"

namespace dez::embedded {

std::shared_ptr<EmbeddedApplication> DefaultApplication() {
  static const std::shared_ptr<EmbeddedApplication> application = EmbeddedApplication::Create();
  return application;
}

host::AddinContext MakeEmbeddedAddinContext(std::shared_ptr<EmbeddedApplication> application,
                                            std::shared_ptr<host::MessageBox> messageBox) {
  host::AddinContext context;
  context.hostAccess = std::make_shared<clsHostAccessEmbedded>(std::move(application));
  context.dataChecks = std::make_shared<clsDataChecksEmbedded>();
  context.hostConstants = std::make_shared<clsHostConstantsEmbedded>();
  context.newReportSettings = [] { return std::make_unique<clsReportSettingsEmbedded>(); };
  context.newCellFormatter = [] { return std::make_unique<clsCellFormatterEmbedded>(); };
  context.newStatistics = [] { return std::make_unique<clsStatisticsEmbedded>(); };
  context.messageBox = messageBox ? std::move(messageBox) : std::make_shared<RecordingMessageBox>();
  return context;
}

}  // namespace dez::embedded

namespace dez::host {

// The default context shows message boxes on standard error, as the command line does.
AddinContext& DefaultAddinContext() {
  static AddinContext context = embedded::MakeEmbeddedAddinContext(
      embedded::DefaultApplication(), std::make_shared<embedded::RecordingMessageBox>(&std::cerr));
  return context;
}

}  // namespace dez::host
