#include "host/embedded/recording_message_box.h"

namespace dez::embedded {

void RecordingMessageBox::Show(const std::string& prompt, const std::string& title, std::int32_t style) {
  calls_.push_back(MessageBoxCall{prompt, title, style});
  if (echo_) *echo_ << title << ": " << prompt << '\n' << std::flush;
}

}  // namespace dez::embedded
