// Slow literal versions of the three matrix builders, the oracle of the measure tests.
//
// Each one walks the pairs exactly as the algorithm is written: the cells are read from
// the data block and converted for every pair, the counts are incremented one variable
// at a time, every sum is added up in the cell itself, every integer part is a checked
// 16-bit integer and every floating-point operation is checked. No conversion up front,
// no bit tricks, no streaming: only the formulas.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "dezezuvazoz/enums.h"
#include "host/addin_library.h"
#include "runtime/array2d.h"
#include "runtime/checked_float.h"
#include "runtime/checked_int.h"
#include "runtime/error.h"

namespace dez::reference {

// ---- helpers of the measure tests ----

/// True when both matrices have the same shape and every cell the same bits.
inline bool SameBits(const DoubleMatrix& a, const DoubleMatrix& b) {
  if (a.rows() != b.rows() || a.cols() != b.cols()) return false;
  if (a.empty()) return true;
  return std::memcmp(a.data(), b.data(), sizeof(double) * static_cast<std::size_t>(a.rows()) *
                                             static_cast<std::size_t>(a.cols())) == 0;
}

/// A data block from its rows of cell values.
inline VariantMatrix Block(std::initializer_list<std::initializer_list<Variant>> rows) {
  const auto n = static_cast<std::int32_t>(rows.size());
  const auto p = n == 0 ? 0 : static_cast<std::int32_t>(rows.begin()->size());
  VariantMatrix m(n, p);
  std::int32_t i = 1;
  for (const auto& row : rows) {
    std::int32_t k = 1;
    for (const Variant& v : row) m.At(i, k++) = v;
    ++i;
  }
  return m;
}

/// A one-row array of type codes.
inline StringMatrix Codes(std::initializer_list<std::string> codes) {
  StringMatrix m(1, static_cast<std::int32_t>(codes.size()));
  std::int32_t k = 1;
  for (const std::string& c : codes) m.At(1, k++) = c;
  return m;
}

// ---- the literal builders ----

inline Int16 I16(std::int16_t v) { return Int16{v}; }

inline std::string Upper(std::string s) {
  for (char& ch : s) {
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  }
  return s;
}

/// The binary measures, literally.
inline DoubleMatrix Binomial(const VariantMatrix& data, const std::string& presence, const std::string& absence,
                             std::int32_t measure, bool& undefined) {
  try {
    const Int16 p = CInt(data.cols());
    const Int16 n = CInt(data.rows());
    if (n == I16(0)) Raise(fault::kSubscriptOutOfRange);
    DoubleMatrix m(n.get(), n.get());
    for (std::int32_t k = 1; k <= p.get(); ++k) {
      for (std::int32_t i = 1; i <= n.get(); ++i) {
        const std::string text = data.At(i, k).ToText();
        if (text != presence && text != absence) Raise(fault::kTypeMismatch);
      }
    }
    bool zero = false;
    for (std::int32_t i = 1; i <= n.get() - 1; ++i) {
      for (std::int32_t j = i + 1; j <= n.get(); ++j) {
        Int16 a, b, c, d;
        for (std::int32_t k = 1; k <= p.get(); ++k) {
          const std::string x = data.At(i, k).ToText();
          const std::string y = data.At(j, k).ToText();
          if (x == presence && y == presence) {
            ++a;
          } else if (x == absence && y == presence) {
            ++c;
          } else if (x == presence && y == absence) {
            ++b;
          } else {
            ++d;
          }
        }
        double& cell = m.At(i, j);
        // num / den, or a zero denominator that leaves the cell at 0 and the matrix undefined.
        const auto ratio = [&](auto num, auto den) {
          if (den == decltype(den){}) zero = true;
          else cell = Div(num, den);
        };
        switch (measure) {
          case dezEZuvazozSMBEuclidean: cell = Sqrt(b + c); break;
          case dezEZuvazozSMBHamann: cell = Div(a + d - c - b, a + b + c + d); break;
          case dezEZuvazozSMBJaccard: ratio(a, a + b + c); break;
          case dezEZuvazozSMBKulczynski1: ratio(a, b + c); break;
          case dezEZuvazozSMBKulczynski2:
            if (a + b == I16(0) || a + c == I16(0)) zero = true;
            else cell = (Div(a, a + b) + Div(a, a + c)) / 2.0;
            break;
          case dezEZuvazozSMBOchiai: ratio(a, Sqrt((a + b) * (a + c))); break;
          case dezEZuvazozSMBPattern: cell = Div(b * c, Pow(p, 2.0)); break;
          case dezEZuvazozSMBPhi: ratio(a * d - b * c, Sqrt((a + b) * (a + c) * (c + d) * (b + d))); break;
          case dezEZuvazozSMBRogersTanimoto: cell = Div(a + d, a + d + I16(2) * b + I16(2) * c); break;
          case dezEZuvazozSMBRusselRao: cell = Div(a, a + b + c + d); break;
          case dezEZuvazozSMBSokalMitchener: cell = Div(a + d, a + b + c + d); break;
          case dezEZuvazozSMBSorensenDice: ratio(I16(2) * a, I16(2) * a + b + c); break;
          case dezEZuvazozSMBSqrdEuclidean: cell = b + c; break;
          case dezEZuvazozSMBVariance: cell = Div(b + c, I16(4) * p); break;
          case dezEZuvazozSMBYuleQ: ratio(a * d - b * c, a * d + b * c); break;
          default: break;
        }
        m.At(j, i) = m.At(i, j);
      }
    }
    if (zero) undefined = true;
    return m;
  } catch (const Error&) {
  } catch (const std::bad_alloc&) {
  }
  undefined = true;
  return {};
}

/// The metric measures, literally.
inline DoubleMatrix Metric(const VariantMatrix& data, std::int32_t measure, std::int16_t& exponent,
                           std::int16_t power, host::clsStatistics& statistics, bool& undefined) {
  try {
    const Int16 p = CInt(data.cols());
    const Int16 n = CInt(data.rows());
    if (n == I16(0)) Raise(fault::kSubscriptOutOfRange);
    DoubleMatrix m(n.get(), n.get());
    Int16 e;
    if (measure == dezEZuvazozSMMCityBlock) {
      e = I16(1);
    } else if (exponent != 0 && measure != dezEZuvazozSMMEuclidean && measure != dezEZuvazozSMMSqrdEuclidean) {
      e = I16(exponent);
    } else {
      e = I16(2);
    }
    if (measure == dezEZuvazozSMMMinkowski) e = I16(power);
    const Int16 r = measure == dezEZuvazozSMMSqrdEuclidean ? I16(2) : I16(1);
    exponent = e.get();
    if (measure == dezEZuvazozSMMCorrelation) {
      const DoubleMatrix numbers = statistics.ToDoubleMatrix(data);
      const DoubleMatrix prepared = statistics.PrepareCorrelation(numbers);
      return statistics.CorrelationMatrix(prepared, false);
    }
    const bool powers = measure == dezEZuvazozSMMCityBlock || measure == dezEZuvazozSMMEuclidean ||
                        measure == dezEZuvazozSMMMinkowski || measure == dezEZuvazozSMMSqrdEuclidean;
    if (!powers && measure != dezEZuvazozSMMBrayCurtis && measure != dezEZuvazozSMMCanberra) return m;
    const auto x = [&](std::int32_t i, std::int32_t k) { return Fin(data.At(i, k).ToDouble()); };
    for (std::int32_t i = 1; i <= n.get() - 1; ++i) {
      for (std::int32_t j = i + 1; j <= n.get(); ++j) {
        double sumX = 0.0;
        double sumY = 0.0;
        for (std::int32_t k = 1; k <= p.get(); ++k) {
          const double gap = std::fabs(Fin(x(i, k) - x(j, k)));
          if (powers) {
            m.At(i, j) = Fin(m.At(i, j) + Pow(gap, e));
          } else if (measure == dezEZuvazozSMMCanberra) {
            m.At(i, j) = Fin(m.At(i, j) + Div(gap, Fin(x(i, k) + x(j, k))));
          } else {
            m.At(i, j) = Fin(m.At(i, j) + gap);
            sumX = Fin(sumX + x(i, k));
            sumY = Fin(sumY + x(j, k));
          }
        }
        if (powers) m.At(i, j) = Pow(m.At(i, j), Div(r, e));
        if (measure == dezEZuvazozSMMBrayCurtis) m.At(i, j) = Div(m.At(i, j), Fin(sumY + sumX));
        m.At(j, i) = m.At(i, j);
      }
    }
    return m;
  } catch (const Error&) {
  } catch (const std::bad_alloc&) {
  }
  undefined = true;
  return {};
}

/// The mixed-data similarity, literally.
inline std::optional<DoubleMatrix> Mixed(const VariantMatrix& data, const StringMatrix& types,
                                         const std::string& presence, const std::string& absence) {
  try {
    const Int16 p = CInt(data.cols());
    const Int16 n = CInt(data.rows());
    if (n == I16(0)) Raise(fault::kSubscriptOutOfRange);
    DoubleMatrix m(n.get(), n.get());
    std::vector<double> range(static_cast<std::size_t>(p.get()) + 1, 0.0);
    const auto x = [&](std::int32_t i, std::int32_t k) { return Fin(data.At(i, k).ToDouble()); };
    for (std::int32_t k = 1; k <= p.get(); ++k) {
      if (Upper(types.At(1, k)) == "QUANT") {
        double max = x(1, k);
        double min = x(1, k);
        for (std::int32_t i = 2; i <= n.get(); ++i) {
          if (x(i, k) > max) max = x(i, k);
          if (x(i, k) < min) min = x(i, k);
        }
        range[static_cast<std::size_t>(k)] = Fin(max - min);
      }
    }
    double total = 0.0;
    for (std::int32_t i = 1; i <= n.get() - 1; ++i) {
      for (std::int32_t j = i + 1; j <= n.get(); ++j) {
        double s = 0.0;
        double w = 0.0;
        for (std::int32_t k = 1; k <= p.get(); ++k) {
          const std::string code = Upper(types.At(1, k));
          if (code == "BIN") {
            const std::string a = data.At(i, k).ToText();
            const std::string b = data.At(j, k).ToText();
            if (a == presence && b == presence) s = s + 1.0;  // both absent: not counted
            if (a != absence || b != absence) w = w + 1.0;
          } else if (code == "QUAL") {
            s = s + (CellEquals(data.At(i, k), data.At(j, k)) ? 1.0 : 0.0);
            w = w + 1.0;
          } else if (code == "QUANT") {
            s = Fin(s + (1.0 - Div(std::fabs(Fin(x(i, k) - x(j, k))), range[static_cast<std::size_t>(k)])));
            w = w + 1.0;
          }
        }
        if (w == 0.0) {
          m.At(i, j) = 0.0;
        } else {
          m.At(i, j) = Div(s, w);
          m.At(j, i) = m.At(i, j);
          total = Fin(total + m.At(i, j));
        }
      }
    }
    if (total == 0.0) return std::nullopt;
    return m;
  } catch (const Error&) {
  } catch (const std::bad_alloc&) {
  }
  return std::nullopt;
}

}  // namespace dez::reference
