// The mixed-data similarity and the engine's CalcMixedMatrix.
//
// Every variable is converted once into the form its score needs, one contiguous run of
// n values per variable: presence and absence flags for BIN, a category number for QUAL,
// the number for QUANT. For a fixed item i and variable k the loop over the partners
// j > i then adds one score to each S(i, j) and one weight to each W(i, j), so every pair
// receives its scores in the order k = 1..p from 0, as a loop over k inside the pair
// would; only independent pairs run side by side.
//
// Converting up front reads exactly the cells the pair loop would read: the QUANT cells
// are all read for the ranges anyway, and with two items or more every BIN and QUAL cell
// takes part in some pair. Any fault leaves the whole matrix undefined, so finding it
// earlier changes nothing.
#include "engine/mixed_matrix.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <unordered_map>
#include <vector>

#include "engine/clsHClusterBO.h"
#include "engine/mirror_upper_triangle.h"
#include "runtime/checked_float.h"
#include "runtime/checked_int.h"
#include "runtime/error.h"

namespace dez {

namespace {

enum class VariableKind { kOther, kBinary, kQualitative, kQuantitative };

/// The kind of a variable from its type code, compared in upper case.
VariableKind KindOf(const std::string& code) {
  std::string upper = code;
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char ch) { return static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch); });
  if (upper == "BIN") return VariableKind::kBinary;
  if (upper == "QUAL") return VariableKind::kQualitative;
  if (upper == "QUANT") return VariableKind::kQuantitative;
  return VariableKind::kOther;
}

/// The text a cell reads as. The numbers 0 and 1 are the usual BIN cells; every other
/// value goes through the general conversion.
std::string CellText(const Variant& cell) {
  if (cell.IsNumber()) {
    if (cell.number() == 1.0) return "1";
    if (cell.number() == 0.0) return "0";
  }
  return cell.ToText();  // an error value is a type mismatch
}

/// Category numbers of a QUAL cell. Cell equality is not transitive (an empty cell
/// equals the number 0 and the empty text, which differ from each other), so an empty
/// cell has its own number and the two values it also equals are remembered.
constexpr double kEmptyCategory = 0.0;
constexpr double kNoCategory = -1.0;

/// One variable as the pair loop reads it: n values per run, item i (0-based) at [i].
struct Variable {
  VariableKind kind = VariableKind::kOther;
  std::vector<double> first;   ///< BIN: 1 when present; QUAL: category; QUANT: the number
  std::vector<double> second;  ///< BIN: 1 when absent
  double range = 0.0;          ///< QUANT: R_k = max - min
  double zeroCategory = kNoCategory;       ///< QUAL: the category of the number 0
  double emptyTextCategory = kNoCategory;  ///< QUAL: the category of the empty text

  /// QUAL: the categories that equal item i's cell (unused ones never match).
  std::array<double, 3> EqualCategories(std::size_t i) const {
    const double own = first[i];
    if (own == kEmptyCategory) return {kEmptyCategory, zeroCategory, emptyTextCategory};
    if (own == zeroCategory || own == emptyTextCategory) return {own, kEmptyCategory, kNoCategory};
    return {own, kNoCategory, kNoCategory};
  }
};

/// QUANT: the numbers of column k, and its range as the algorithm finds it: max and min
/// start at the first item and each later item is compared with both.
void ReadQuantitative(const VariantMatrix& data, std::int32_t k, Variable& v) {
  const std::int32_t n = data.rows();
  v.first.resize(static_cast<std::size_t>(n));
  for (std::int32_t i = 1; i <= n; ++i) v.first[static_cast<std::size_t>(i - 1)] = Fin(data(i, k).ToDouble());
  double max = v.first[0];
  double min = v.first[0];
  for (std::size_t i = 1; i < v.first.size(); ++i) {
    if (v.first[i] > max) max = v.first[i];
    if (v.first[i] < min) min = v.first[i];
  }
  v.range = Fin(max - min);
}

/// BIN: presence and absence flags of column k.
void ReadBinary(const VariantMatrix& data, std::int32_t k, const std::string& presence, const std::string& absence,
                Variable& v) {
  const std::int32_t n = data.rows();
  v.first.resize(static_cast<std::size_t>(n));
  v.second.resize(static_cast<std::size_t>(n));
  for (std::int32_t i = 1; i <= n; ++i) {
    const std::string text = CellText(data(i, k));
    v.first[static_cast<std::size_t>(i - 1)] = text == presence ? 1.0 : 0.0;
    v.second[static_cast<std::size_t>(i - 1)] = text == absence ? 1.0 : 0.0;
  }
}

/// QUAL: category numbers of column k. Numbers (and Booleans, which compare as their
/// numbers) share categories by value, texts by their exact characters; a NaN equals
/// nothing and gets a category of its own; an error value cannot be compared (a fault).
void ReadQualitative(const VariantMatrix& data, std::int32_t k, Variable& v) {
  const std::int32_t n = data.rows();
  v.first.resize(static_cast<std::size_t>(n));
  std::unordered_map<double, double> numbers;
  std::unordered_map<std::string, double> texts;
  double next = kEmptyCategory + 1.0;
  for (std::int32_t i = 1; i <= n; ++i) {
    const Variant& cell = data(i, k);
    double category = kEmptyCategory;
    if (cell.IsError()) Raise(fault::kTypeMismatch);
    if (cell.IsText()) {
      category = texts.try_emplace(cell.text(), next).first->second;
    } else if (!cell.IsEmpty()) {
      const double value = cell.ToDouble();
      if (std::isnan(value)) {
        category = next;
      } else {
        category = numbers.try_emplace(value == 0.0 ? 0.0 : value, next).first->second;  // -0 is 0
      }
    }
    if (category == next) next += 1.0;
    v.first[static_cast<std::size_t>(i - 1)] = category;
  }
  if (const auto zero = numbers.find(0.0); zero != numbers.end()) v.zeroCategory = zero->second;
  if (const auto empty = texts.find(std::string()); empty != texts.end()) v.emptyTextCategory = empty->second;
}

/// Scores every pair i < j into cell (i, j): the cells serve as S, `weights` holds W for
/// a block of partners. Returns whether some similarity is not 0.
bool FillUpperTriangle(const std::vector<Variable>& variables, DoubleMatrix& out) {
  constexpr std::int32_t kBlock = 512;  // the block's S, W and one variable's values fit in L1
  const std::int32_t n = out.rows();
  std::vector<double> weights(static_cast<std::size_t>(kBlock));
  bool nonZero = false;
  for (std::int32_t i = 0; i + 1 < n; ++i) {
    const auto self = static_cast<std::size_t>(i);
    double* row = out.data() + self * static_cast<std::size_t>(n);
    for (std::int32_t j0 = i + 1; j0 < n; j0 += kBlock) {
      const auto length = static_cast<std::size_t>(std::min(n, j0 + kBlock) - j0);
      const auto start = static_cast<std::size_t>(j0);
      double* score = row + start;
      double* weight = weights.data();
      std::fill(weight, weight + length, 0.0);
      for (const Variable& v : variables) {
        switch (v.kind) {
          case VariableKind::kBinary: {
            // s = 1 when both are present; w = 0 only when both are absent and not both
            // present (the two texts may be the same). All values are 0 or 1: exact.
            const double presentX = v.first[self];
            const double absentX = v.second[self];
            const double* present = v.first.data() + start;
            const double* absent = v.second.data() + start;
            for (std::size_t t = 0; t < length; ++t) {
              const double s = presentX * present[t];
              score[t] += s;
              weight[t] += 1.0 - (1.0 - s) * absentX * absent[t];
            }
            break;
          }
          case VariableKind::kQualitative: {
            const std::array<double, 3> equal = v.EqualCategories(self);
            const double* category = v.first.data() + start;
            for (std::size_t t = 0; t < length; ++t) {
              const double c = category[t];
              score[t] += ((c == equal[0]) | (c == equal[1]) | (c == equal[2])) ? 1.0 : 0.0;
              weight[t] += 1.0;
            }
            break;
          }
          case VariableKind::kQuantitative: {
            const double x = v.first[self];
            const double range = v.range;
            const double* y = v.first.data() + start;
            for (std::size_t t = 0; t < length; ++t) {
              score[t] += 1.0 - std::fabs(x - y[t]) / range;
              weight[t] += 1.0;
            }
            break;
          }
          case VariableKind::kOther: break;  // neither score nor weight
        }
      }
      for (std::size_t t = 0; t < length; ++t) {
        const double cell = weight[t] == 0.0 ? 0.0 : score[t] / weight[t];
        score[t] = cell;
        nonZero |= cell != 0.0;
      }
    }
  }
  return nonZero;
}

/// The whole build; raises on a fault, returns nothing when every similarity is 0.
std::optional<DoubleMatrix> Build(const VariantMatrix& data, const StringMatrix& types, const std::string& presence,
                                  const std::string& absence) {
  const Int16 p = CInt(data.cols());
  const Int16 n = CInt(data.rows());
  if (n == Int16{}) Raise(fault::kSubscriptOutOfRange);  // an array cannot have 0 rows
  DoubleMatrix out(n.get(), n.get());

  // Type codes and the ranges of the QUANT variables.
  std::vector<Variable> variables(static_cast<std::size_t>(p.get()));
  for (std::int32_t k = 1; k <= p.get(); ++k) {
    Variable& v = variables[static_cast<std::size_t>(k - 1)];
    v.kind = KindOf(types.At(1, k));  // fewer than p codes: subscript out of range
    if (v.kind == VariableKind::kQuantitative) ReadQuantitative(data, k, v);
  }
  if (n.get() < 2) return std::nullopt;  // no pair: the total is 0

  for (std::int32_t k = 1; k <= p.get(); ++k) {
    Variable& v = variables[static_cast<std::size_t>(k - 1)];
    switch (v.kind) {
      case VariableKind::kBinary: ReadBinary(data, k, presence, absence, v); break;
      case VariableKind::kQualitative: ReadQualitative(data, k, v); break;
      case VariableKind::kQuantitative:
        // Every pair divides by the range; 0 faults (0 / 0 for the first pair).
        if (v.range == 0.0) Raise(fault::kOverflow);
        break;
      case VariableKind::kOther: break;
    }
  }
  if (!FillUpperTriangle(variables, out)) return std::nullopt;
  MirrorUpperTriangle(out);
  return out;
}

}  // namespace

std::optional<DoubleMatrix> BuildMixedMatrix(const VariantMatrix& data, const StringMatrix& types,
                                             const std::string& presence, const std::string& absence) {
  // The build's error trap raises nothing: a fault leaves the matrix undefined.
  try {
    return Build(data, types, presence, absence);
  } catch (const Error&) {
  } catch (const std::bad_alloc&) {
  } catch (const std::out_of_range&) {
  } catch (const std::length_error&) {
  }
  return std::nullopt;
}

std::optional<DoubleMatrix> clsHClusterBO::CalcMixedMatrix(const VariantMatrix& data, const StringMatrix& types,
                                                           const std::string& presence, const std::string& absence) {
  std::optional<DoubleMatrix> out = BuildMixedMatrix(data, types, presence, absence);
  if (!out) undefined_ = true;
  return out;
}

}  // namespace dez
