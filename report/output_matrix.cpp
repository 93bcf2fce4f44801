// clsHClusterOutput::OutputMatrix: the labelled matrix table, cut into vertical slices.
#include <algorithm>
#include <limits>
#include <string>

#include "host/range.h"
#include "host/worksheet.h"
#include "report/clsHClusterOutput.h"
#include "report/row_arithmetic.h"
#include "runtime/error_trap.h"

namespace dez {

using report_detail::Minus;
using report_detail::Plus;

namespace {
/// Slice width used when MaxCols is omitted or outside 1..255.
constexpr std::int32_t kWidestSlice = 255;
/// Narrowest slice of a matrix wider than this many columns.
constexpr std::int32_t kNarrowestWideSlice = 10;
}  // namespace

std::int32_t clsHClusterOutput::MatrixSliceWidth(std::int16_t maxCols, std::int32_t nc) {
  std::int32_t w = maxCols < 1 || maxCols > kWidestSlice ? kWidestSlice : maxCols;
  if (w < kNarrowestWideSlice && nc > kNarrowestWideSlice) w = kNarrowestWideSlice;
  return w;
}

void clsHClusterOutput::OutputMatrix(const StringArray& colHeaders, const StringArray& rowHeaders,
                                     const DoubleMatrix& matrix, const std::string& title,
                                     const Variant& /*returnCoords: accepted, not used*/, std::int16_t maxCols) {
  ErrorTrap trap{"clsHClusterOutput", "OutputMatrix"};
  trap.Run([&] {
    const std::int32_t nc = matrix.cols();
    const std::int32_t nr = matrix.rows();
    const std::int32_t w = MatrixSliceWidth(maxCols, nc);
    // A table that would run past the sheet's last row fails with the host's error before
    // anything is written: a large matrix would otherwise fill the sheet first (a
    // 16,384-item table is hundreds of millions of cells) and fail at the same row.
    if (nc > 0) {
      const std::int64_t lastRow = std::int64_t{currentRow_.get()} + MatrixTableRows(nr, nc, w) - 1;
      if (lastRow > sheet_->RowsCount()) {
        (void)Cell(CLng(std::min<std::int64_t>(lastRow, std::numeric_limits<std::int32_t>::max())), 1);
      }
    }
    // Slice k covers matrix columns f..l (m of them), printed in sheet columns 2..m+1.
    // Invariant: f = 1 + (k - 1) * w <= nc, and every row above the cursor is written.
    std::int32_t k = 1;
    for (std::int32_t f = 1; f <= nc; f = Plus(f, w).get(), ++k) {
      const std::int32_t l = std::min(Plus(f, w - 1).get(), nc);
      const std::int32_t m = l - f + 1;
      if (k == 1) {
        PutCell(currentRow_, 1, title);
      } else {
        currentRow_ = Plus(currentRow_, 1);  // one empty row between slices
        PutCell(currentRow_, 1, title + ": Part " + std::to_string(k));
      }
      formatter_->FormatTextLine(Cell(currentRow_, 1), false);
      currentRow_ = Plus(currentRow_, 1);
      const Int32 h = currentRow_;  // heading row
      for (std::int32_t c = f; c <= l; ++c) {
        PutCell(h, c - f + 2, colHeaders.At(c));
      }
      formatter_->FormatHeadingBand(Block(h, 1, h, m + 1), false);
      for (std::int32_t r = 1; r <= nr; ++r) {
        PutCell(Plus(h, r), 1, rowHeaders.At(r));
      }
      formatter_->FormatHeadingBand(Block(h, 1, Plus(h, nr), 1), true);
      // Values, one host call per cell, read in place from the matrix. Row by row: the
      // cells are the same in any order (no write here can fail once the labels stand),
      // and this one follows both the matrix's storage and the sheet's.
      for (std::int32_t r = 1; r <= nr; ++r) {
        const Int32 row = Plus(h, r);
        for (std::int32_t c = f; c <= l; ++c) {
          PutCell(row, c - f + 2, matrix(r, c));
        }
        if (progress_ && (r % 256 == 0 || r == nr)) {
          progress_("OutputMatrix", (static_cast<double>(f - 1) * nr + static_cast<double>(r) * m) /
                                        (static_cast<double>(nc) * nr));
        }
      }
      // The diagonal of a distance or similarity matrix is never shown.
      for (std::int32_t c = f; c <= l; ++c) {
        PutCell(Plus(h, c), c - f + 2, "");
      }
      formatter_->FormatValueBlock(Block(Plus(h, 1), 2, Plus(h, nr), m + 1), false);
      currentRow_ = Plus(h, nr, 1);
    }
    // The report's width: at least the full table, at most one slice.
    if (usedColumns_.get() < std::int64_t{nc} + 1) usedColumns_ = CInt(std::int64_t{nc} + 1);
    if (usedColumns_.get() > w + 1) usedColumns_ = CInt(w + 1);
  });
}

}  // namespace dez
