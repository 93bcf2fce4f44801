// The progress line of hcluster on a terminal, and the message box that prints beside it.
//
// Progress is one line on standard error, rewritten in place ("\r", then the text, then
// the terminal's erase-to-end-of-line): "hcluster: agglomeration steps 42%". It is shown
// only when standard error is a terminal and -q was not given; otherwise every call does
// nothing, so piped output and log files stay clean. The line is erased before anything
// else is written to standard error and when the work is done.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "host/message_box.h"

namespace dez::cli {

class TerminalProgress {
 public:
  TerminalProgress(std::ostream& err, bool enabled) : err_(err), enabled_(enabled) {}
  ~TerminalProgress() { Clear(); }
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;

  bool Enabled() const { return enabled_; }
  /// Shows `phase`, with a percentage when `fraction` is 0..1 (negative: none). Repeated
  /// calls that would show the same text write nothing.
  void Show(std::string_view phase, double fraction = -1.0);
  /// Shows a phase reported by the controller or the engine, named in plain words.
  void ShowComponentPhase(const char* phase, double fraction);
  /// Erases the line, if one is shown.
  void Clear();

 private:
  std::ostream& err_;
  bool enabled_;
  std::string shown_;
};

/// The component's message box at the command line: "<title>: <prompt>" on one line of
/// standard error, after the progress line has been erased. It returns at once.
class StderrMessageBox final : public host::MessageBox {
 public:
  StderrMessageBox(std::ostream& err, TerminalProgress& progress) : err_(err), progress_(progress) {}
  void Show(const std::string& prompt, const std::string& title, std::int32_t style) override;

 private:
  std::ostream& err_;
  TerminalProgress& progress_;
};

}  // namespace dez::cli
