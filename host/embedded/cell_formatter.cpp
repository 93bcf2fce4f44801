#include "host/embedded/cell_formatter.h"

#include <string>

#include "host/embedded/object_model_constants.h"
#include "host/range.h"
#include "runtime/error.h"

namespace dez::embedded {

namespace {
void Require(const host::RangePtr& range, const char* what, host::Loc where) {
  if (!range) Raise(fault::kObjectNotSet, "clsCellFormatter", std::string(what) + " needs a range", where);
}
}  // namespace

void clsCellFormatterEmbedded::FormatHeadingBand(const host::RangePtr& range, bool labelColumn, host::Loc where) {
  Require(range, "FormatHeadingBand", where);
  range->Font()->Bold(true, where);
  range->Interior()->ColorIndex(kColorIndexGray25, where);
  range->HorizontalAlignment(labelColumn ? kAlignLeft : kAlignCenter, where);
}

void clsCellFormatterEmbedded::FormatValueBlock(const host::RangePtr& range, bool, host::Loc where) {
  Require(range, "FormatValueBlock", where);
  range->Font()->Bold(false, where);
  range->NumberFormat(kValueNumberFormat, where);
  range->HorizontalAlignment(kAlignGeneral, where);
}

void clsCellFormatterEmbedded::FormatTextLine(const host::RangePtr& range, bool heading, host::Loc where) {
  Require(range, "FormatTextLine", where);
  range->Font()->Bold(heading, where);
}

}  // namespace dez::embedded
