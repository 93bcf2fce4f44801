// The binary measures and the engine's CalcBinomialMatrix.
//
// The cells are read once, into one presence bit per cell (rows of 64-bit words), which
// is also the check that every cell is a presence or an absence. A pair's counts then
// come from word operations: a = |x AND y|, b = |x| - a, c = |y| - a, d = p - a - b - c.
// The measure is evaluated with the checked 16-bit integers, exactly in the order its
// formula is written, once per pair or, with few variables, once per distinct counts.
#include "engine/binomial_matrix.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <new>
#include <utility>
#include <vector>

#include "dezezuvazoz/enums.h"
#include "engine/clsHClusterBO.h"
#include "engine/measure_table.h"
#include "engine/mirror_upper_triangle.h"
#include "runtime/checked_float.h"
#include "runtime/checked_int.h"
#include "runtime/error.h"

namespace dez {

namespace {

/// The text a cell reads as. Binary data hold the numbers 0 and 1, whose text is known;
/// every other value goes through the general conversion.
std::string CellText(const Variant& cell) {
  if (cell.IsNumber()) {
    if (cell.number() == 1.0) return "1";
    if (cell.number() == 0.0) return "0";
  }
  return cell.ToText();  // an error value is a type mismatch
}

/// Number of set bits. Written out because the build targets the x86-64 baseline, which
/// has no population-count instruction, and the library fallback is an out-of-line call.
inline std::int32_t PopCount(std::uint64_t w) {
  w = w - ((w >> 1) & 0x5555555555555555ULL);
  w = (w & 0x3333333333333333ULL) + ((w >> 2) & 0x3333333333333333ULL);
  w = (w + (w >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
  return static_cast<std::int32_t>((w * 0x0101010101010101ULL) >> 56);
}

/// The data as presence bits: bit k % 64 of word k / 64 of item i is set when cell
/// (i + 1, k + 1) reads as the presence text. Bits past the last variable are 0.
///
/// Classifying a pair only by the presence bits gives the counts of the table (a: both
/// present; c: absent, present; b: present, absent; d: the rest) because, once every cell
/// has been checked to read as one of the two texts, a cell that is not present is
/// absent. When the two texts are the same, every cell is present and a = p, as the
/// table's first test gives.
class PresenceBits {
 public:
  /// Reads every cell, variable by variable; a cell that reads as neither text, or
  /// cannot be read as text at all, is a fault.
  PresenceBits(const VariantMatrix& data, const std::string& presence, const std::string& absence)
      : n_(data.rows()),
        words_((static_cast<std::size_t>(data.cols()) + 63) / 64),
        bits_(static_cast<std::size_t>(n_) * words_, 0),
        counts_(static_cast<std::size_t>(n_), 0) {
    for (std::int32_t k = 1; k <= data.cols(); ++k) {
      const std::size_t word = static_cast<std::size_t>(k - 1) / 64;
      const std::uint64_t bit = std::uint64_t{1} << (static_cast<unsigned>(k - 1) % 64);
      for (std::int32_t i = 1; i <= n_; ++i) {
        const std::string text = CellText(data(i, k));
        if (text == presence) {
          bits_[static_cast<std::size_t>(i - 1) * words_ + word] |= bit;
          ++counts_[static_cast<std::size_t>(i - 1)];
        } else if (text != absence) {
          Raise(fault::kTypeMismatch);
        }
      }
    }
  }

  std::size_t words() const { return words_; }
  /// The words of item i (0-based).
  const std::uint64_t* Row(std::int32_t i) const { return bits_.data() + static_cast<std::size_t>(i) * words_; }
  /// The number of present cells of item i (0-based).
  std::int32_t Present(std::int32_t i) const { return counts_[static_cast<std::size_t>(i)]; }

 private:
  std::int32_t n_;
  std::size_t words_;
  std::vector<std::uint64_t> bits_;
  std::vector<std::int32_t> counts_;
};

/// The four counts of a pair, 16-bit as the formulas use them.
struct Counts {
  Int16 a, b, c, d;
};

constexpr Int16 kTwo{std::int16_t{2}};
constexpr Int16 kFour{std::int16_t{4}};
constexpr Int16 kZero{};

/// The value of measure M for one pair, with p the number of variables. Returns false,
/// leaving `value` alone, when the measure's denominator is zero; that test comes before
/// any division. An overflow of an integer part raises.
template <std::int32_t M>
bool Evaluate(const Counts& n, Int16 p, double& value) {
  const Int16 a = n.a;
  const Int16 b = n.b;
  const Int16 c = n.c;
  const Int16 d = n.d;
  if constexpr (M == dezEZuvazozSMBEuclidean) {
    value = Sqrt(b + c);
  } else if constexpr (M == dezEZuvazozSMBHamann) {
    value = Div(a + d - c - b, a + b + c + d);
  } else if constexpr (M == dezEZuvazozSMBJaccard) {
    const Int16 den = a + b + c;
    if (den == kZero) return false;
    value = Div(a, den);
  } else if constexpr (M == dezEZuvazozSMBKulczynski1) {
    const Int16 den = b + c;
    if (den == kZero) return false;
    value = Div(a, den);
  } else if constexpr (M == dezEZuvazozSMBKulczynski2) {
    if (a + b == kZero || a + c == kZero) return false;
    value = (Div(a, a + b) + Div(a, a + c)) / 2.0;
  } else if constexpr (M == dezEZuvazozSMBOchiai) {
    const double root = Sqrt((a + b) * (a + c));
    if (root == 0.0) return false;
    value = Div(a, root);
  } else if constexpr (M == dezEZuvazozSMBPattern) {
    value = Div(b * c, Pow(p, 2.0));
  } else if constexpr (M == dezEZuvazozSMBPhi) {
    const double root = Sqrt((a + b) * (a + c) * (c + d) * (b + d));
    if (root == 0.0) return false;
    value = Div(a * d - b * c, root);
  } else if constexpr (M == dezEZuvazozSMBRogersTanimoto) {
    value = Div(a + d, a + d + kTwo * b + kTwo * c);
  } else if constexpr (M == dezEZuvazozSMBRusselRao) {
    value = Div(a, a + b + c + d);
  } else if constexpr (M == dezEZuvazozSMBSokalMitchener) {
    value = Div(a + d, a + b + c + d);
  } else if constexpr (M == dezEZuvazozSMBSorensenDice) {
    const Int16 den = kTwo * a + b + c;
    if (den == kZero) return false;
    value = Div(kTwo * a, den);
  } else if constexpr (M == dezEZuvazozSMBSqrdEuclidean) {
    value = b + c;
  } else if constexpr (M == dezEZuvazozSMBVariance) {
    value = Div(b + c, kFour * p);
  } else if constexpr (M == dezEZuvazozSMBYuleQ) {
    const Int16 den = a * d + b * c;
    if (den == kZero) return false;
    value = Div(a * d - b * c, den);
  }
  return true;
}

/// Measure M evaluated afresh for every pair.
template <std::int32_t M>
class DirectMeasure {
 public:
  explicit DirectMeasure(Int16 p) : p_(p) {}
  /// As Evaluate<M>, for counts a, b, c and d = p - a - b - c, each in 0..p.
  bool operator()(std::int32_t a, std::int32_t b, std::int32_t c, double& value) const {
    const Counts counts{Int16::From(a), Int16::From(b), Int16::From(c), Int16::From(p_.get() - a - b - c)};
    return Evaluate<M>(counts, p_, value);
  }

 private:
  Int16 p_;
};

/// Measure M remembered by counts. A pair's value depends on nothing but (a, b, c), and
/// with few variables there are few such triples, so each is evaluated once, when it
/// first occurs: the same evaluation as for the pair itself, so an overflow still faults
/// exactly when some pair has the overflowing counts.
template <std::int32_t M>
class RememberedMeasure {
 public:
  /// Worth it, and small enough to stay in cache, up to this many variables.
  static constexpr std::int32_t kMaxVariables = 32;

  explicit RememberedMeasure(Int16 p)
      : direct_(p), side_(static_cast<std::size_t>(p.get()) + 1),
        values_(side_ * side_ * side_, 0.0), states_(values_.size(), kUnknown) {}

  bool operator()(std::int32_t a, std::int32_t b, std::int32_t c, double& value) {
    const std::size_t at = (static_cast<std::size_t>(a) * side_ + static_cast<std::size_t>(b)) * side_ +
                           static_cast<std::size_t>(c);
    if (states_[at] == kUnknown) states_[at] = direct_(a, b, c, values_[at]) ? kValue : kZeroDenominator;
    value = values_[at];
    return states_[at] == kValue;
  }

 private:
  enum State : std::uint8_t { kUnknown, kValue, kZeroDenominator };
  DirectMeasure<M> direct_;
  std::size_t side_;
  std::vector<double> values_;
  std::vector<std::uint8_t> states_;
};

/// Fills cell (i, j), i < j, of every pair with `measure`. Sets `zeroDenominator` for a
/// pair whose denominator is zero and leaves its cell 0.
template <class Measure>
void FillUpperTriangle(const PresenceBits& bits, Measure& measure, DoubleMatrix& out, bool& zeroDenominator) {
  const std::int32_t n = out.rows();
  const std::size_t words = bits.words();
  for (std::int32_t i = 0; i + 1 < n; ++i) {
    const std::uint64_t* x = bits.Row(i);
    const std::int32_t presentX = bits.Present(i);
    double* row = out.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(n);
    for (std::int32_t j = i + 1; j < n; ++j) {
      const std::uint64_t* y = bits.Row(j);
      std::int32_t both = 0;
      for (std::size_t w = 0; w < words; ++w) both += PopCount(x[w] & y[w]);
      double value = 0.0;
      if (measure(both, presentX - both, bits.Present(j) - both, value)) {
        row[j] = value;
      } else {
        zeroDenominator = true;
      }
    }
  }
}

/// Fills the upper triangle with measure M, remembering values by counts when there
/// are few variables.
template <std::int32_t M>
void FillUpperTriangle(const PresenceBits& bits, Int16 p, DoubleMatrix& out, bool& zeroDenominator) {
  if (p.get() <= RememberedMeasure<M>::kMaxVariables) {
    RememberedMeasure<M> measure(p);
    FillUpperTriangle(bits, measure, out, zeroDenominator);
  } else {
    DirectMeasure<M> measure(p);
    FillUpperTriangle(bits, measure, out, zeroDenominator);
  }
}

/// The kernel of each binomial measure code, codes 1.. at indices 0..
using Kernel = void (*)(const PresenceBits&, Int16, DoubleMatrix&, bool&);
template <std::size_t... Index>
constexpr std::array<Kernel, sizeof...(Index)> KernelsOf(std::index_sequence<Index...>) {
  return {&FillUpperTriangle<static_cast<std::int32_t>(Index + 1)>...};
}
constexpr auto kKernels = KernelsOf(std::make_index_sequence<dezEZuvazozSMBYuleQ>());

/// The whole build; raises on a fault.
DoubleMatrix Build(const VariantMatrix& data, const std::string& presence, const std::string& absence,
                   std::int32_t measure, bool& zeroDenominator) {
  const Int16 p = CInt(data.cols());
  const Int16 n = CInt(data.rows());
  if (n == kZero) Raise(fault::kSubscriptOutOfRange);  // an array cannot have 0 rows
  DoubleMatrix out(n.get(), n.get());
  const PresenceBits bits(data, presence, absence);
  // Only codes of the measure table have a kernel; an unknown code leaves every cell 0.
  if (FindMeasure(dezEZuvazozBinomial, measure)) kKernels[static_cast<std::size_t>(measure - 1)](bits, p, out, zeroDenominator);
  MirrorUpperTriangle(out);
  return out;
}

}  // namespace

DoubleMatrix BuildBinomialMatrix(const VariantMatrix& data, const std::string& presence,
                                 const std::string& absence, std::int32_t measure, bool& undefined) {
  // The build's error trap raises nothing: a fault leaves the matrix undefined and empty.
  try {
    bool zeroDenominator = false;
    DoubleMatrix out = Build(data, presence, absence, measure, zeroDenominator);
    if (zeroDenominator) undefined = true;
    return out;
  } catch (const Error&) {
  } catch (const std::bad_alloc&) {
  }
  undefined = true;
  return {};
}

DoubleMatrix clsHClusterBO::CalcBinomialMatrix(const VariantMatrix& data, const std::string& presence,
                                               const std::string& absence, std::int32_t measure) {
  bool undefined = false;
  DoubleMatrix out = BuildBinomialMatrix(data, presence, absence, measure, undefined);
  if (undefined) undefined_ = true;
  return out;
}

}  // namespace dez
