#include "io/csv_dialect.h"

#include <string>
#include <vector>

#include "runtime/variant.h"

namespace dez::io {

namespace {

constexpr std::size_t kSampleLines = 50;

/// The fields of the first lines of `sample` split by `delimiter`, quotes honoured; a line
/// cut off by the end of the sample is left out unless it is the only one.
std::vector<std::vector<std::string>> SplitLines(std::string_view sample, char delimiter) {
  std::vector<std::vector<std::string>> lines;
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < sample.size() && lines.size() < kSampleLines; ++i) {
    const char ch = sample[i];
    if (quoted) {
      if (ch == '"' && i + 1 < sample.size() && sample[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else if (ch == '"') {
        quoted = false;
      } else {
        fields.back() += ch;
      }
    } else if (ch == '"' && fields.back().empty()) {
      quoted = true;
    } else if (ch == delimiter) {
      fields.emplace_back();
    } else if (ch == '\n' || ch == '\r') {
      if (ch == '\r' && i + 1 < sample.size() && sample[i + 1] == '\n') ++i;
      lines.push_back(std::move(fields));
      fields.assign(1, std::string());
    } else {
      fields.back() += ch;
    }
  }
  if (lines.empty()) lines.push_back(std::move(fields));
  return lines;
}

/// How well `delimiter` splits the sample: the number of lines with the field count most
/// lines share, when that count is above one; 0 otherwise. Blank lines do not count.
std::size_t Consistency(const std::vector<std::vector<std::string>>& lines) {
  std::vector<std::size_t> counts;
  for (const auto& fields : lines) {
    if (fields.size() == 1 && fields.front().empty()) continue;
    counts.push_back(fields.size());
  }
  std::size_t best = 0;
  for (const std::size_t count : counts) {
    if (count < 2) continue;
    std::size_t same = 0;
    for (const std::size_t other : counts) same += other == count ? 1 : 0;
    if (same > best) best = same;
  }
  return best;
}

}  // namespace

bool IsDecimalCommaNumber(std::string_view field) {
  const std::size_t comma = field.find(',');
  if (comma == std::string_view::npos || field.find(',', comma + 1) != std::string_view::npos) return false;
  if (field.find('.') != std::string_view::npos) return false;
  std::string buffer;
  return ParseNumber(DecimalCommaAsPoint(field, buffer)).has_value();
}

std::string_view DecimalCommaAsPoint(std::string_view field, std::string& buffer) {
  buffer.assign(field);
  const std::size_t comma = buffer.find(',');
  if (comma != std::string::npos) buffer[comma] = '.';
  return buffer;
}

CsvDialect DetectCsvDialect(std::string_view sample, char extensionDelimiter) {
  CsvDialect dialect{extensionDelimiter == 0 ? ',' : extensionDelimiter, false};
  std::size_t bestScore = 0;
  std::vector<std::vector<std::string>> bestLines;
  // The extension's separator first, so that it keeps a tie.
  std::string candidates(1, dialect.delimiter);
  for (const char ch : kCsvDelimiters) {
    if (ch != dialect.delimiter) candidates += ch;
  }
  for (const char candidate : candidates) {
    std::vector<std::vector<std::string>> lines = SplitLines(sample, candidate);
    const std::size_t score = Consistency(lines);
    if (score > bestScore) {
      bestScore = score;
      dialect.delimiter = candidate;
      bestLines = std::move(lines);
    }
  }
  if (dialect.delimiter == ',') return dialect;
  bool sawComma = false;
  for (const auto& fields : bestLines) {
    for (const std::string& field : fields) {
      if (IsDecimalCommaNumber(field)) {
        sawComma = true;
      } else if (field.find('.') != std::string::npos && ParseNumber(field)) {
        return dialect;  // a decimal point: the file's numbers use points
      }
    }
  }
  dialect.decimalComma = sawComma;
  return dialect;
}

std::string_view DelimiterName(char delimiter) {
  switch (delimiter) {
    case ',': return "','";
    case ';': return "';'";
    case '\t': return "TAB";
    case '|': return "'|'";
    default: return "?";
  }
}

}  // namespace dez::io
