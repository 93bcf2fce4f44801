// Text made safe for a terminal: no control character reaches it as a command.
#pragma once

#include <string>

namespace dez::io {

/// `text` with line breaks and tabs as blanks (when `blankBreaks`) or kept, and every
/// other control character escaped: C0 and DEL as \x1b, \x07, \x7f; the C1 controls
/// (U+0080..U+009F, among them the 8-bit CSI) as \u009b. A label can then neither move
/// the cursor, change colours, retitle the window nor ring the bell.
std::string TerminalText(const std::string& text, bool blankBreaks = true);

}  // namespace dez::io
