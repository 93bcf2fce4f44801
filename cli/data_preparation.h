// From the user's sheet to what the component analyses: the range the user meant, its
// header row, the items left out and the standardised values.
//
//   DataSelection data = SelectData(*book, options, err);          // -r, header row
//   PreparedData prepared = PrepareData(app, data, options);        // drop, standardise
//   hc.VarRange(prepared.address);
//
// Addresses: `-r` takes what the component takes, and besides a sheet name with blanks
// without quotes ('Stores 2023!A2:F'), and open ends: A:F and A2:F stop at the sheet's last
// used row. A text that is none of these goes to the component as it stands, whose own
// checks then answer.
// Prepared values never reach the user's workbook: when items are dropped or variables
// standardised, the values analysed are written to a sheet of the add-in workbook, which
// is never saved, with a label column ("Row 7" or the user's labels) so that the report
// names the items by their rows in the user's sheet.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/options.h"
#include "host/embedded/cell_block.h"
#include "runtime/error.h"

namespace dez::embedded {
class EmbeddedApplication;
class EmbeddedWorkbook;
class EmbeddedWorksheet;
}  // namespace dez::embedded

namespace dez::cli {

/// The data the user chose on their sheet.
struct DataSelection {
  std::shared_ptr<embedded::EmbeddedWorksheet> sheet;  ///< null: `address` is for the component as given
  embedded::CellBlock block;       ///< the items' rows (header row excluded), label column included
  std::string address;             ///< the block as shown to the user, an address -r takes back
  std::string componentAddress;    ///< the block as the component reads it
  std::vector<std::string> variables;  ///< the header row's names, empty without one
};

/// What the component is given.
struct PreparedData {
  std::string address;                 ///< the variables range to set
  bool labels = false;                 ///< Headers: a label column leads the range
  std::vector<std::string> dropped;    ///< the labels of the items left out
  std::string note;                    ///< what the report header adds to the data set line
};

/// The sheet-qualified absolute address of `block` on `sheet` as the tool shows it, the
/// name quoted when it holds a blank or a sign other than _ . -: Data!$A$1:$F$9,
/// iris-sample!$A$1:$E$30, 'Stores 2023'!$A$2:$F$11.
std::string SheetAddress(const std::string& sheet, const embedded::CellBlock& block);

/// The same as the component's address parser needs it: also a name with '-' quoted.
std::string ComponentSheetAddress(const std::string& sheet, const embedded::CellBlock& block);

/// The selection of `options` on `book`; a message on `err` and nothing when the range
/// names an empty sheet, or when items are to be dropped or variables standardised on a
/// range that is not one block of a sheet of the book. Says on `err` when a header row
/// was detected.
std::optional<DataSelection> SelectData(const embedded::EmbeddedWorkbook& book, const Options& options,
                                        std::ostream& err);

/// Drops items with missing values and standardises, as `options` asks. Returns nothing
/// after writing the reason on `err` (a variable without variation, no items left).
std::optional<PreparedData> PrepareData(embedded::EmbeddedApplication& app, const DataSelection& data,
                                        const Options& options, std::ostream& err);

/// The line that names the first cell the component refused in `data`, with its content
/// and the likely fix; "" when `error` is not a refusal of the data or no cell is found.
std::string OffendingCellLine(const Error& error, const DataSelection& data, const Options& options);

}  // namespace dez::cli
