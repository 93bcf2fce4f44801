// The error object of the component and the runtime fault numbers it raises.
//
// Errors travel as C++ exceptions of type `Error`. Besides the number, source and
// description that the caller sees, an error remembers the file and line where it was
// raised so that the procedure's error trap can turn it into a statement number.
#pragma once

#include <cstdint>
#include <exception>
#include <source_location>
#include <string>

namespace dez {

/// Runtime fault numbers of the classic automation runtime.
namespace fault {
inline constexpr std::int32_t kInvalidCall = 5;           ///< invalid procedure call or argument
inline constexpr std::int32_t kOverflow = 6;              ///< overflow
inline constexpr std::int32_t kOutOfMemory = 7;           ///< out of memory
inline constexpr std::int32_t kSubscriptOutOfRange = 9;   ///< subscript out of range
inline constexpr std::int32_t kDivisionByZero = 11;       ///< division by zero
inline constexpr std::int32_t kTypeMismatch = 13;         ///< type mismatch
inline constexpr std::int32_t kObjectNotSet = 91;         ///< object variable not set
inline constexpr std::int32_t kApplicationDefined = 1004; ///< application-defined or object-defined error
}  // namespace fault

/// The standard description of a runtime fault number, or the application-defined
/// text for any other number.
std::string DefaultDescription(std::int32_t number);

/// An error as the component raises and passes it on.
class Error : public std::exception {
 public:
  Error(std::int32_t number, std::string source, std::string description,
        std::source_location where = std::source_location::current());

  std::int32_t number;
  std::string source;
  std::string description;

  /// File and line where the error was raised (empty file: unknown).
  std::string file;
  std::uint32_t line = 0;

  const char* what() const noexcept override { return description.c_str(); }
};

/// Raises `number` with the given source and description; an empty description is
/// replaced by the standard text of the number.
[[noreturn]] void Raise(std::int32_t number, std::string source = {}, std::string description = {},
                        std::source_location where = std::source_location::current());

}  // namespace dez
