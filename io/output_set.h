// Every output of one run, published together once all of them are complete.
//
//   OutputSet outputs;
//   AtomicOutputFile& report = outputs.Add("report.xlsx", "WriteXlsx");
//   ... write report.TempPath(), and the other outputs ...
//   outputs.Publish();
//
// A failure anywhere before Publish leaves every destination untouched (the temporary
// files are removed when the set is destroyed). Publish first flushes every output to
// disk, so a full disk or an I/O error still changes nothing; then it renames the
// replaced files into place, and last writes the destinations written in place (devices,
// FIFOs, standard output), whose writing may block or fail only after the files are in place.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "io/atomic_output_file.h"

namespace dez::io {

class OutputSet {
 public:
  /// Starts the output to `destination`; raises FileError kWrite as AtomicOutputFile does.
  AtomicOutputFile& Add(const std::filesystem::path& destination, std::string source);
  /// Puts every output in place, in the order above. Raises FileError kWrite.
  void Publish();

 private:
  std::vector<std::unique_ptr<AtomicOutputFile>> outputs_;
};

}  // namespace dez::io
