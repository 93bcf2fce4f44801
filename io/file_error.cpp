#include "io/file_error.h"

#include <utility>

#include "io/cell_reference.h"

namespace dez::io {

std::string DescribeLocation(const FileLocation& at) {
  std::string text;
  const auto add = [&text](const std::string& piece) {
    if (!text.empty()) text += ", ";
    text += piece;
  };
  if (!at.part.empty()) add("part " + at.part);
  if (!at.sheet.empty()) add("sheet \"" + at.sheet + "\"");
  const bool cellInRange = at.row >= 1 && at.row <= kMaxRows && at.column >= 1 && at.column <= kMaxColumns;
  if (!at.sheet.empty() && cellInRange) {
    add("cell " + FormatCellReference(static_cast<std::int32_t>(at.row), static_cast<std::int32_t>(at.column)));
  } else {
    if (at.row > 0) add("row " + std::to_string(at.row));
    if (at.column > 0) add("column " + std::to_string(at.column));
  }
  return text;
}

namespace {
std::string Compose(const std::string& file, const FileLocation& at, const std::string& what) {
  std::string text = file;
  const std::string where = DescribeLocation(at);
  if (!where.empty()) text += ": " + where;
  text += ": " + what;
  return text;
}
}  // namespace

FileError::FileError(FileErrorKind kind_, std::string file, const FileLocation& at_, const std::string& what,
                     std::string source_, std::source_location where)
    : Error(kFileErrorNumber, std::move(source_), Compose(file, at_, what), where),
      kind(kind_),
      path(std::move(file)),
      at(at_) {}

}  // namespace dez::io
