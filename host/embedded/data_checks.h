// The add-in library's checks of the data block and the output area.
#pragma once

#include <cstdint>

#include "host/addin_library.h"

namespace dez::embedded {

/// clsDataChecks of the embedded library.
///
/// CheckDataBlock accepts every block: the component's own checks have already refused
/// what it cannot analyse. It only sets the out value to 0.
///
/// CheckOutputArea refuses, with the add-in's number AddinErrorNumber(kOutputAreaRefused)
/// (offset 5020) and a description that names the area, a report of `rows` x `columns`
/// cells whose top-left cell is the output cell when
///   - the area would reach past the sheet's last row or column, or
///   - OverWrite is False and a cell of the area holds a value (formats alone are no data).
/// It never asks the user and never moves the output cell. A missing output cell is 91, a
/// size below one cell is an invalid argument (5).
class clsDataChecksEmbedded final : public host::clsDataChecks {
 public:
  void CheckDataBlock(const host::RangePtr& data, bool headers, std::int32_t a, std::int32_t b, std::int32_t c,
                      std::int32_t d, std::int32_t e, std::int32_t f, std::int32_t g, std::int32_t h,
                      std::int32_t& out, host::Loc where = host::Loc::current()) override;
  void CheckOutputArea(host::RangePtr& outputCell, std::int32_t columns, std::int32_t rows, bool overWrite,
                       host::Loc where = host::Loc::current()) override;
};

}  // namespace dez::embedded
