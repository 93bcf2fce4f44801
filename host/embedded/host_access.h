// The add-in library's application accessor for the embedded application.
#pragma once

#include <memory>

#include "host/addin_library.h"

namespace dez::embedded {

class EmbeddedApplication;

/// clsHostAccess: hands out the application it was made with, on every call.
class clsHostAccessEmbedded final : public host::clsHostAccess {
 public:
  explicit clsHostAccessEmbedded(std::shared_ptr<EmbeddedApplication> application);
  host::ApplicationPtr HostApplication(host::Loc where = host::Loc::current()) override;

 private:
  std::shared_ptr<EmbeddedApplication> application_;
};

}  // namespace dez::embedded
