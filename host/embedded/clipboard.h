// The application's clipboard.
#pragma once

#include <memory>

#include "host/embedded/cell_block.h"

namespace dez::embedded {

class EmbeddedWorksheet;

/// What Range.Copy put on the clipboard: the copied block of a sheet. Like the host's own
/// clipboard, it refers to the cells rather than holding a copy of them, so a paste shows
/// the block as it is at the time of the paste, and a copy costs nothing.
struct Clipboard {
  std::shared_ptr<EmbeddedWorksheet> sheet;  ///< nullptr: nothing was copied
  CellBlock block;
};

}  // namespace dez::embedded
