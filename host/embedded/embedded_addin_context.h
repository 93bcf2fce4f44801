// The add-in library contexts built on the embedded application.
#pragma once

#include <memory>

#include "host/addin_context.h"

namespace dez::embedded {

class EmbeddedApplication;
class RecordingMessageBox;

/// The process-wide application behind host::DefaultAddinContext(), made on first use.
std::shared_ptr<EmbeddedApplication> DefaultApplication();

/// A context whose library classes work on `application`: the embedded host access, data
/// checks and constants, new report settings, cell formatters and statistics objects on
/// every request, and `messageBox` (a silent RecordingMessageBox when nullptr).
host::AddinContext MakeEmbeddedAddinContext(std::shared_ptr<EmbeddedApplication> application,
                                            std::shared_ptr<host::MessageBox> messageBox = nullptr);

}  // namespace dez::embedded
