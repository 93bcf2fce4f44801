// The add-in library's report settings for the embedded application.
#pragma once

#include <cstdint>

#include "host/addin_library.h"
#include "host/embedded/object_model_constants.h"

namespace dez::embedded {

/// clsReportSettings: the report's sheet and its chart area are white (colour index 2).
class clsReportSettingsEmbedded final : public host::clsReportSettings {
 public:
  std::int16_t BackColorIndex() const override { return kColorIndexWhite; }
};

}  // namespace dez::embedded
