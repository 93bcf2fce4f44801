// The error trap every procedure of the component runs under.
//
// A trap names its class and procedure and remembers the source line where it stands,
// which is the first line of the procedure. When an error passes through it, the trap
// raises it again with the same number and description and a new source:
//
//   "Line N in DEZEZuvazoz.<class>.<procedure>"   (N = error line - procedure line)
//
// or, in the chaining form, when the source already begins with "Line", the old source
// followed by "." and the procedure's name. Statement numbers are therefore the line
// offsets of the failing statement inside its procedure: fixed and reproducible, with no
// line markers in the code. An error raised outside the procedure's own lines (inside
// the host, say) is numbered from the line of the call into it only when the call site
// recorded one; otherwise it is numbered 0.
//
//   void clsHClusterBO::ReduceMatrix(...) {
//     ErrorTrap trap{"clsHClusterBO", "ReduceMatrix"};
//     trap.Run([&] { ...body... });
//   }
#pragma once

#include <exception>
#include <new>
#include <source_location>
#include <stdexcept>
#include <string>
#include <string_view>

#include "runtime/error.h"

namespace dez {

class ErrorTrap {
 public:
  /// How the trap writes the new source.
  enum class Form {
    kChain,   ///< append to a source that begins with "Line", else label anew
    kLabel,   ///< always label anew (simple property procedures)
  };

  ErrorTrap(std::string_view className, std::string_view procedure, Form form = Form::kChain,
            std::source_location where = std::source_location::current());

  /// Name appended when chaining, when it differs from the labelling name.
  ErrorTrap& AppendAs(std::string_view name);
  /// Separator placed before the appended name ("." by default).
  ErrorTrap& AppendSeparator(std::string_view separator);

  /// Runs `body`; any error leaving it is raised again with the trap's source.
  template <class Body>
  decltype(auto) Run(Body&& body) const {
    try {
      return body();
    } catch (Error& e) {
      Rethrow(e);
    } catch (const std::bad_alloc&) {
      Rethrow(Error(fault::kOutOfMemory, {}, {}, where_));
    } catch (const std::out_of_range&) {
      Rethrow(Error(fault::kSubscriptOutOfRange, {}, {}, where_));
    } catch (const std::length_error&) {
      Rethrow(Error(fault::kOutOfMemory, {}, {}, where_));
    }
  }

  /// The statement number the trap gives an error raised at `file`:`line`.
  std::uint32_t StatementNumber(const std::string& file, std::uint32_t line) const;

  /// Raises `e` again with the new source (number and description unchanged).
  [[noreturn]] void Rethrow(Error e) const;

  /// The source text this trap gives an error with the given source and position.
  std::string SourceFor(const Error& e) const;

 private:
  std::string className_;
  std::string procedure_;
  std::string appendName_;
  std::string separator_ = ".";
  Form form_;
  std::source_location where_;
};

}  // namespace dez
