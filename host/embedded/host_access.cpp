#include "host/embedded/host_access.h"

#include "host/embedded/embedded_application.h"

namespace dez::embedded {

clsHostAccessEmbedded::clsHostAccessEmbedded(std::shared_ptr<EmbeddedApplication> application)
    : application_(std::move(application)) {}

host::ApplicationPtr clsHostAccessEmbedded::HostApplication(host::Loc) { return application_; }

}  // namespace dez::embedded
