#include "cli/progress.h"

#include <cmath>
#include <string_view>

#include "io/terminal_text.h"

namespace dez::cli {

namespace {
constexpr std::string_view kEraseLine = "\033[K";

/// Plain words for the phase names that the engine, the controller and the report
/// writer report, and whether the phase counts its work (shows a percentage).
struct Phase {
  std::string_view words;
  bool counted;
};

Phase PhaseOf(std::string_view phase) {
  if (phase == "DistanceMatrix") return {"building the matrix", true};
  if (phase == "ReduceMatrix") return {"agglomeration steps", true};
  if (phase == "GetCopheneticR") return {"cophenetic correlation", true};
  if (phase == "writing the report") return {"assembling the report", false};
  if (phase == "OutputMatrix") return {"assembling the report: matrix table", true};
  return {phase, false};
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
  const Phase shown = PhaseOf(phase == nullptr ? "" : phase);
  // Counted phases show how far they are; the others report their start.
  Show(shown.words, shown.counted ? fraction : -1.0);
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
