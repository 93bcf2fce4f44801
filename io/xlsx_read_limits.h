// The bounds the XLSX reader enforces, whatever the file claims.
//
// A zip member can inflate to far more than the archive's size (about 1000:1 for
// deflate), so the reader counts the bytes it actually inflates and the cells it actually
// delivers, and stops with a FileError (kLimit) at the first bound crossed. The defaults
// admit any workbook a spreadsheet program writes in practice (a sheet part of 1 GiB holds
// some 30 million numeric cells) while keeping a zip bomb from exhausting memory or time.
#pragma once

#include <cstdint>

namespace dez::io {

struct XlsxReadLimits {
  std::uint64_t maxPartBytes = std::uint64_t{1} << 30;   ///< inflated bytes of any one part (1 GiB)
  std::uint64_t maxTotalBytes = std::uint64_t{4} << 30;  ///< inflated bytes of all parts read (4 GiB)
  std::uint64_t maxCells = 100'000'000;                  ///< non-empty cells delivered, all sheets
};

}  // namespace dez::io
