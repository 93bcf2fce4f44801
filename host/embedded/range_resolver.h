// Turning an address text into a range of an open sheet.
#pragma once

#include <memory>
#include <string_view>

#include "host/forward.h"

namespace dez::embedded {

class EmbeddedApplication;
class EmbeddedRange;
class EmbeddedWorksheet;

/// Resolves `address` (forms of ParseAddress). A workbook qualifier names an open
/// workbook of `application`; a sheet qualifier alone names a sheet of `context`'s
/// workbook, or of the active workbook when `context` is nullptr; an unqualified area lies
/// on `context`, or on the active sheet of the active workbook. Every area must resolve to
/// the same sheet, and to `context` itself when `onlyContext` is set (Worksheet.Range).
/// `application` may be nullptr for a standalone workbook: then only `context`'s own
/// workbook is known. Fails with 1004 (91 when an active workbook is needed and missing).
std::shared_ptr<EmbeddedRange> ResolveRange(std::string_view address, const EmbeddedApplication* application,
                                            const std::shared_ptr<EmbeddedWorksheet>& context, bool onlyContext,
                                            host::Loc where);

}  // namespace dez::embedded
