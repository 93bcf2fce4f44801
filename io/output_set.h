// Every output of one run, published together once all of them are complete.
//
//   OutputSet outputs;
//   AtomicOutputFile& report = outputs.Add("report.xlsx", "WriteXlsx");
//   ... write report.TempPath(), and the other outputs ...
//   outputs.Publish();
//
// A failure anywhere before Publish leaves every destination untouched (the temporary
// files are removed when the set is destroyed). Publish first flushes every output to
// disk, so a full disk or an I/O error still changes nothing; then it writes the
// destinations written in place (devices, FIFOs, standard output), which can refuse
// (a full device, a socket) but hold nothing to destroy; last it renames the replaced
// files into place, which fails only if the folder changes under the run.
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
  /// Puts every output in place, in the order above. Raises FileError kWrite; the
  /// outputs not yet put in place are then left untouched.
  void Publish();

 private:
  std::vector<std::unique_ptr<AtomicOutputFile>> outputs_;
};

}  // namespace dez::io
