#include "cli/progress.h"

#include <cmath>
#include <string_view>

#include "io/terminal_text.h"

namespace dez::cli {

namespace {
constexpr std::string_view kEraseLine = "\033[K";

/// Plain words for the phase names that the engine and the controller report.
std::string_view PhaseWords(std::string_view phase) {
  if (phase == "ReduceMatrix") return "agglomeration steps";
  return phase;
}
}  // namespace

void TerminalProgress::Show(std::string_view phase, double fraction) {
  if (!enabled_) return;
  // Built by appending: GCC 12 at -O3 warns falsely about "literal" + std::string&&.
  std::string text = "hcluster: ";
  text.append(phase);
  if (fraction >= 0.0 && fraction <= 1.0) {
    text += ' ';
    text += std::to_string(static_cast<int>(std::floor(fraction * 100.0)));
    text += '%';
  }
  if (text == shown_) return;
  shown_ = text;
  err_ << '\r' << text << kEraseLine << std::flush;
}

void TerminalProgress::ShowComponentPhase(const char* phase, double fraction) {
  const std::string_view words = PhaseWords(phase == nullptr ? "" : phase);
  // Only the agglomeration counts its steps; the other phases report their start.
  Show(words, words == "agglomeration steps" ? fraction : -1.0);
}

void TerminalProgress::Clear() {
  if (!enabled_ || shown_.empty()) return;
  err_ << '\r' << kEraseLine << std::flush;
  shown_.clear();
}

void StderrMessageBox::Show(const std::string& prompt, const std::string& title, std::int32_t /*style*/) {
  progress_.Clear();
  err_ << io::TerminalText(title) << ": " << io::TerminalText(prompt, false) << '\n' << std::flush;
}

}  // namespace dez::cli
