// Running real spreadsheet clients from tests: a shell, Python with openpyxl, LibreOffice.
#pragma once

#include <cstdlib>
#include <string>

namespace dez::testing {

inline int Shell(const std::string& command) { return std::system(command.c_str()); }

/// `text` quoted for the shell.
inline std::string Quote(const std::string& text) {
  std::string out = "'";
  for (const char ch : text) {
    if (ch == '\'') {
      out += "'\\''";
    } else {
      out += ch;
    }
  }
  return out + "'";
}

/// A Python interpreter that can import openpyxl, or "".
inline std::string PythonWithOpenpyxl() {
  for (const std::string python : {"/usr/bin/python3", "python3"}) {
    if (Shell(python + " -c 'import openpyxl' >/dev/null 2>&1") == 0) return python;
  }
  return {};
}

inline bool HasLibreOffice() { return Shell("command -v soffice >/dev/null 2>&1") == 0; }

/// The start of a headless LibreOffice conversion with its own profile under `folder`:
/// append the target format, " --outdir ..." and the files.
inline std::string SofficeConvert(const std::string& folder) {
  return "timeout 300 soffice --headless " + Quote("-env:UserInstallation=file://" + folder + "/profile") +
         " --convert-to ";
}

}  // namespace dez::testing
