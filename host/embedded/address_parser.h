// Parsing of A1-style range addresses.
//
// Accepted forms (letters of column names and sheet names in any case):
//
//   B5  $B$5  B$5  $B5            a cell
//   A1:F21  $A$1:$F$21  F21:A1    a block spanned by two corners (in any order); a chain
//                                 A1:B2:C3 spans all its corners
//   A:C  $A:$C                    whole columns
//   3:5  $3:$5                    whole rows
//   Data!A1:F21                   qualified by a sheet whose name needs no quotes
//                                 (letters, digits, '_', '.', and any non-ASCII character)
//   'My Sheet'!$A$1:$F$21         qualified by a quoted sheet name ('' stands for ')
//   [Book.xlsx]Data!A1            qualified by a workbook and a sheet; quoted:
//   '[My Book.xlsx]My Sheet'!A1
//   A1:B2,Data!D4,E:E             a union: areas separated by commas, each qualified alone
//
// Nothing else is an address: no blanks, no defined names, no R1C1 form, no references
// beyond row 1,048,576 or column XFD (16,384).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "host/embedded/cell_block.h"

namespace dez::embedded {

/// One area of a parsed address, with the qualifiers written before it (empty when none).
struct AddressArea {
  std::string workbook;
  std::string sheet;
  CellBlock block;
  friend bool operator==(const AddressArea&, const AddressArea&) = default;
};

/// The result of parsing: the areas in the order written, or the reason for refusal.
struct ParsedAddress {
  std::vector<AddressArea> areas;  ///< empty when the text is no address
  std::string error;               ///< empty on success
  bool ok() const { return error.empty(); }
};

/// The longest text taken for an address; longer texts are refused unread.
inline constexpr std::size_t kMaxAddressLength = 8192;

/// Parses `text` as an address. Never throws for any input (short of running out of
/// memory) and allocates only in proportion to the text's length, at most
/// kMaxAddressLength characters.
ParsedAddress ParseAddress(std::string_view text);

}  // namespace dez::embedded
