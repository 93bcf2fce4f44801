// Error numbers raised by the component: the automation object-error base plus an offset.
#pragma once

#include <cstdint>

namespace dez {

/// Base of every number the component raises itself.
inline constexpr std::int32_t kObjectErrorBase = -2147221504;

/// The component's own error block (offsets 6000 to 6007).
enum dezEZuvazozErrors : std::int32_t {
  dezEZuvazozInvalidMixedHeader = kObjectErrorBase + 6000,     ///< type cell not BIN/QUANT/QUAL
  dezEZuvazozInvalidMixedBinData = kObjectErrorBase + 6001,    ///< BIN column value not 1 or 0
  dezEZuvazozInvalidMixedQuantData = kObjectErrorBase + 6002,  ///< non-numeric quantitative cell
  dezEZuvazozInvalidMixedQualData = kObjectErrorBase + 6003,   ///< empty QUAL cell
  dezEZuvazozInvalidBinData = kObjectErrorBase + 6004,         ///< binomial cell not 1 or 0
  dezEZuvazozInvalidQuantData = kObjectErrorBase + 6005,       ///< declared, never raised
  dezEZuvazozInvalidDiffData = kObjectErrorBase + 6006,        ///< matrix input not numeric/square
  dezEZuvazozSimMatrixUndef = kObjectErrorBase + 6007,         ///< declared, never raised
};

/// Offsets of the add-in's common 5000 block that the controller raises.
namespace addin_error {
inline constexpr std::int32_t kOutputRangeInvalid = 5001;   ///< OutputRange text not a range
inline constexpr std::int32_t kVarRangeInvalid = 5009;      ///< VarRange text not a range
inline constexpr std::int32_t kNoVarRange = 5011;           ///< no variables range specified
inline constexpr std::int32_t kTooFewVariables = 5048;      ///< fewer than 2 columns (not Ward's)
inline constexpr std::int32_t kTooFewCases = 5050;          ///< fewer than 2 cases
inline constexpr std::int32_t kMultipleAreas = 5071;        ///< range of more than one area
inline constexpr std::int32_t kNoVariation = 5094;          ///< mixed column without variation
inline constexpr std::int32_t kOutputAreaRefused = 5020;    ///< output area would cover data / leave the sheet
inline constexpr std::int32_t kBandFirst = 5000;            ///< band passed through unchanged by the range setters
inline constexpr std::int32_t kBandLast = 5101;
}  // namespace addin_error

/// The full number of an add-in offset.
constexpr std::int32_t AddinErrorNumber(std::int32_t offset) { return kObjectErrorBase + offset; }

/// True when `number` lies in the add-in's band 5000..5101.
constexpr bool IsAddinBandNumber(std::int32_t number) {
  return number >= AddinErrorNumber(addin_error::kBandFirst) &&
         number <= AddinErrorNumber(addin_error::kBandLast);
}

}  // namespace dez
