// A message box that records what it was asked to show.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "host/message_box.h"

namespace dez::embedded {

/// One call of MessageBox::Show.
struct MessageBoxCall {
  std::string prompt;
  std::string title;
  std::int32_t style = 0;
  friend bool operator==(const MessageBoxCall&, const MessageBoxCall&) = default;
};

/// Records every call and, when given a stream, writes each as one line
/// "<title>: <prompt>" to it (the command line passes standard error). Nobody has to
/// close it: Show returns at once.
class RecordingMessageBox final : public host::MessageBox {
 public:
  explicit RecordingMessageBox(std::ostream* echo = nullptr) : echo_(echo) {}

  void Show(const std::string& prompt, const std::string& title, std::int32_t style) override;

  const std::vector<MessageBoxCall>& Calls() const { return calls_; }
  /// Where calls are written from now on (nullptr: nowhere).
  void SetEcho(std::ostream* echo) { echo_ = echo; }

 private:
  std::ostream* echo_;
  std::vector<MessageBoxCall> calls_;
};

}  // namespace dez::embedded
