// The error raised by the file formats: a dez::Error that also says which file, and where
// in it, the problem lies.
//
// Every failure to read or write a workbook file (a missing file, a file that is not what
// its extension says, a malformed or hostile part, a write that could not complete) is
// raised as a FileError. Its number is 1004 (application-defined), its source names the
// operation ("ReadCsv", "ReadXlsx", "WriteXlsx", "ReadWorkbook"), and its description is
// one line that names the file and, where it applies, the sheet, row and column:
//
//   data.csv: row 3, column 2: invalid UTF-8 (byte 0xFF)
//   book.xlsx: sheet "Data", cell B7: shared string index 9 out of range (4 strings)
//
// The command-line front end maps a FileError to exit status 2.
#pragma once

#include <cstdint>
#include <source_location>
#include <string>

#include "runtime/error.h"

namespace dez::io {

/// The number every FileError carries (application-defined error).
inline constexpr std::int32_t kFileErrorNumber = fault::kApplicationDefined;

/// What went wrong, for callers and tests that need to tell the cases apart.
enum class FileErrorKind : std::uint8_t {
  kOpen,         ///< the file cannot be opened or read (missing, unreadable, a directory)
  kEmpty,        ///< the file holds no data at all
  kUnsupported,  ///< the extension names no format this program reads or writes
  kNotWorkbook,  ///< not what its extension says (a CSV named .xlsx, a corrupt zip)
  kMissingPart,  ///< a part the workbook needs is absent
  kMalformed,    ///< a part or a field breaks the format's grammar
  kEncoding,     ///< text that is not valid UTF-8 (or holds a NUL byte)
  kLimit,        ///< beyond the sheet's limits or the reader's bounds
  kHostile,      ///< refused construct: DOCTYPE or entity declarations
  kWrite,        ///< the output could not be written
};

/// Where in the file an error lies; zero or empty members are omitted from the text.
struct FileLocation {
  std::string sheet;        ///< sheet name (XLSX), empty when none applies
  std::int64_t row = 0;     ///< 1-based row, 0 when none applies
  std::int64_t column = 0;  ///< 1-based column, 0 when none applies
  std::string part;         ///< zip part name, when the problem is in a part as a whole
};

class FileError : public Error {
 public:
  /// Builds the description "<file>: <location>: <what>" from its pieces.
  FileError(FileErrorKind kind, std::string file, const FileLocation& at, const std::string& what, std::string source,
            std::source_location where = std::source_location::current());

  FileErrorKind kind;
  std::string path;  ///< the file as given to the reader or writer
  FileLocation at;
};

/// The location text alone, as FileError writes it: `sheet "S", cell B7`, `row 3, column 2`,
/// `part xl/workbook.xml`; empty when `at` names nothing.
std::string DescribeLocation(const FileLocation& at);

}  // namespace dez::io
