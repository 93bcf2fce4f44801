// The modal message box the component shows (the measure notice).
#pragma once

#include <cstdint>
#include <string>

namespace dez::host {

/// Style bits of a message box: OK button with an exclamation icon.
inline constexpr std::int32_t kMsgBoxExclamation = 48;

class MessageBox {
 public:
  virtual ~MessageBox() = default;
  /// Shows `prompt` under `title` and returns when the user has closed the box.
  virtual void Show(const std::string& prompt, const std::string& title, std::int32_t style) = 0;
};

}  // namespace dez::host
