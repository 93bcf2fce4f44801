#include "cli/error_report.h"

#include <array>
#include <string_view>
#include <utility>

#include "dezezuvazoz/errors.h"
#include "host/embedded/host_error.h"

namespace dez::cli {

namespace {

struct NamedNumber {
  std::int32_t number;
  std::string_view name;
  std::string_view meaning;
};

// The component's own block, in the order of dezEZuvazozErrors.
constexpr std::array kComponentErrors = {
    NamedNumber{dezEZuvazozInvalidMixedHeader, "dezEZuvazozInvalidMixedHeader",
                "mixed data: a cell of the type row is not BIN, QUANT or QUAL"},
    NamedNumber{dezEZuvazozInvalidMixedBinData, "dezEZuvazozInvalidMixedBinData",
                "mixed data: a BIN column holds a value other than 1 or 0"},
    NamedNumber{dezEZuvazozInvalidMixedQuantData, "dezEZuvazozInvalidMixedQuantData",
                "a cell that must hold a number does not (metric data, or a QUANT column of mixed data)"},
    NamedNumber{dezEZuvazozInvalidMixedQualData, "dezEZuvazozInvalidMixedQualData",
                "mixed data: a QUAL column holds an empty cell"},
    NamedNumber{dezEZuvazozInvalidBinData, "dezEZuvazozInvalidBinData",
                "binomial data: a cell of the range is not 1 or 0"},
    NamedNumber{dezEZuvazozInvalidQuantData, "dezEZuvazozInvalidQuantData", ""},
    NamedNumber{dezEZuvazozInvalidDiffData, "dezEZuvazozInvalidDiffData",
                "matrix input: a cell is not a number, or the block is not square"},
    NamedNumber{dezEZuvazozSimMatrixUndef, "dezEZuvazozSimMatrixUndef", ""},
};

// Meanings of the add-in's band, by offset.
constexpr std::array kAddinMeanings = {
    std::pair<std::int32_t, std::string_view>{addin_error::kOutputRangeInvalid,
                                              "--output-range is not an address of the workbook"},
    std::pair<std::int32_t, std::string_view>{addin_error::kVarRangeInvalid,
                                              "--range is not an address of the workbook"},
    std::pair<std::int32_t, std::string_view>{addin_error::kNoVarRange, "no variables range was given"},
    std::pair<std::int32_t, std::string_view>{addin_error::kOutputAreaRefused,
                                              "the report may not go there; choose another --output-range, or "
                                              "add --overwrite"},
    std::pair<std::int32_t, std::string_view>{addin_error::kTooFewVariables,
                                              "fewer than 2 variables (columns); only Ward's method takes one"},
    std::pair<std::int32_t, std::string_view>{addin_error::kTooFewCases,
                                              "fewer than 2 cases (rows; a mixed data type row not counted)"},
    std::pair<std::int32_t, std::string_view>{addin_error::kMultipleAreas,
                                              "the variables range has more than one area"},
    std::pair<std::int32_t, std::string_view>{addin_error::kNoVariation,
                                              "mixed data: a column has the same value in every case"},
};

// The runtime's faults and the host's general number.
constexpr std::array kRuntimeNames = {
    std::pair<std::int32_t, std::string_view>{fault::kInvalidCall, "invalid procedure call or argument"},
    std::pair<std::int32_t, std::string_view>{fault::kOverflow, "overflow"},
    std::pair<std::int32_t, std::string_view>{fault::kOutOfMemory, "out of memory"},
    std::pair<std::int32_t, std::string_view>{fault::kSubscriptOutOfRange, "subscript out of range"},
    std::pair<std::int32_t, std::string_view>{fault::kDivisionByZero, "division by zero"},
    std::pair<std::int32_t, std::string_view>{fault::kTypeMismatch, "type mismatch"},
    std::pair<std::int32_t, std::string_view>{fault::kObjectNotSet, "object variable not set"},
    std::pair<std::int32_t, std::string_view>{fault::kApplicationDefined, "application-defined error"},
    std::pair<std::int32_t, std::string_view>{embedded::kItemNotFound, "item not found"},
};

/// True for the numbers base + 0..65535, the range of the component's own numbers.
bool IsComponentRange(std::int32_t number) {
  return number >= kObjectErrorBase && number <= kObjectErrorBase + 0xFFFF;
}

}  // namespace

std::string ErrorName(std::int32_t number) {
  for (const NamedNumber& named : kComponentErrors) {
    if (named.number == number) return std::string(named.name);
  }
  if (IsComponentRange(number)) return "offset " + std::to_string(number - kObjectErrorBase);
  for (const auto& [code, name] : kRuntimeNames) {
    if (code == number) return std::string(name);
  }
  return "unknown";
}

std::string ErrorMeaning(std::int32_t number) {
  for (const NamedNumber& named : kComponentErrors) {
    if (named.number == number) return std::string(named.meaning);
  }
  for (const auto& [offset, meaning] : kAddinMeanings) {
    if (AddinErrorNumber(offset) == number) return std::string(meaning);
  }
  return {};
}

std::string DescribeError(const Error& error) {
  std::string text = "hcluster: error " + std::to_string(error.number) + " (" + ErrorName(error.number) +
                     "): " + error.description + "\n";
  text += "  at " + (error.source.empty() ? std::string("(no source)") : error.source) + "\n";
  const std::string meaning = ErrorMeaning(error.number);
  if (!meaning.empty()) text += "  " + meaning + "\n";
  return text;
}

}  // namespace dez::cli
