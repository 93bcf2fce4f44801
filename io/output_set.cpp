#include "io/output_set.h"

namespace dez::io {

AtomicOutputFile& OutputSet::Add(const std::filesystem::path& destination, std::string source) {
  outputs_.push_back(std::make_unique<AtomicOutputFile>(destination, std::move(source)));
  return *outputs_.back();
}

void OutputSet::Publish() {
  for (const auto& output : outputs_) output->Seal();
  for (const auto& output : outputs_) {
    if (output->WritesInPlace()) output->Commit();
  }
  for (const auto& output : outputs_) {
    if (!output->WritesInPlace()) output->Commit();
  }
}

}  // namespace dez::io
