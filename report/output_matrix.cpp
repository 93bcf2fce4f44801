// clsHClusterOutput::OutputMatrix: the labelled matrix table, cut into vertical slices.
#include <algorithm>
#include <string>

#include "host/range.h"
#include "report/clsHClusterOutput.h"
#include "runtime/error_trap.h"

namespace dez {

namespace {
/// Slice width used when MaxCols is omitted or outside 1..255.
constexpr std::int32_t kWidestSlice = 255;
/// Narrowest slice of a matrix wider than this many columns.
constexpr std::int32_t kNarrowestWideSlice = 10;
}  // namespace

void clsHClusterOutput::OutputMatrix(const StringArray& colHeaders, const StringArray& rowHeaders,
                                     const DoubleMatrix& matrix, const std::string& title,
                                     const Variant& /*returnCoords: accepted, not used*/, std::int16_t maxCols) {
  ErrorTrap trap{"clsHClusterOutput", "OutputMatrix"};
  trap.Run([&] {
    Int32 w = maxCols < 1 || maxCols > kWidestSlice ? kWidestSlice : maxCols;
    const Int32 nc = matrix.cols();
    const Int32 nr = matrix.rows();
    if (w.get() < kNarrowestWideSlice && nc.get() > kNarrowestWideSlice) w = kNarrowestWideSlice;
    // Slice k covers matrix columns f..l (m of them), printed in sheet columns 2..m+1.
    Int32 k = 1;
    for (Int32 f = 1; f.get() <= nc.get(); f = f + w, k = k + Int32{1}) {
      const Int32 l = std::min(f + w - Int32{1}, nc);
      const Int32 m = l - f + Int32{1};
      if (k.get() == 1) {
        PutCell(currentRow_, 1, title);
      } else {
        currentRow_ = currentRow_ + Int32{1};  // one empty row between slices
        PutCell(currentRow_, 1, title + ": Part " + std::to_string(k.get()));
      }
      formatter_->FormatTextLine(Cell(currentRow_, 1), false);
      currentRow_ = currentRow_ + Int32{1};
      const Int32 h = currentRow_;  // heading row
      for (Int32 c = f; c.get() <= l.get(); c = c + Int32{1}) {
        PutCell(h, c - f + Int32{2}, colHeaders.At(c.get()));
      }
      formatter_->FormatHeadingBand(Block(h, 1, h, m + Int32{1}), false);
      for (Int32 r = 1; r.get() <= nr.get(); r = r + Int32{1}) {
        PutCell(h + r, 1, rowHeaders.At(r.get()));
      }
      formatter_->FormatHeadingBand(Block(h, 1, h + nr, 1), true);
      // Values column by column, one host call per cell, read in place from the matrix.
      for (std::int32_t c = f.get(); c <= l.get(); ++c) {
        const Int32 column = Int32{c} - f + Int32{2};
        for (std::int32_t r = 1; r <= nr.get(); ++r) {
          PutCell(h + Int32{r}, column, matrix(r, c));
        }
      }
      // The diagonal of a distance or similarity matrix is never shown.
      for (Int32 c = f; c.get() <= l.get(); c = c + Int32{1}) {
        PutCell(h + c, c - f + Int32{2}, "");
      }
      formatter_->FormatValueBlock(Block(h + Int32{1}, 2, h + nr, m + Int32{1}), false);
      currentRow_ = h + nr + Int32{1};
    }
    // The report's width: at least the full table, at most one slice.
    const Int32 tableWidth = nc + Int32{1};
    if (Int32{usedColumns_} < tableWidth) usedColumns_ = CInt(tableWidth.get());
    if (Int32{usedColumns_} > w + Int32{1}) usedColumns_ = CInt((w + Int32{1}).get());
  });
}

}  // namespace dez
