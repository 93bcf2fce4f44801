#include "io/csv_reader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "host/embedded/sheet_limits.h"
#include "io/cell_reference.h"
#include "io/utf8.h"

namespace dez::io {

namespace {
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr const char* kSource = "ReadCsv";

std::string HexByte(unsigned char b) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return std::string("0x") + kDigits[b >> 4] + kDigits[b & 0xF];
}
}  // namespace

CsvReader::CsvReader(std::string fileName, char delimiter, CellSink& sink)
    : fileName_(std::move(fileName)), delimiter_(delimiter), sink_(sink) {}

CsvReader::CsvReader(std::string fileName, CsvDialect dialect, CellSink& sink)
    : fileName_(std::move(fileName)), delimiter_(dialect.delimiter), decimalComma_(dialect.decimalComma), sink_(sink) {}

char CsvReader::DelimiterFor(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  for (char& ch : ext) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  }
  if (ext == ".csv") return ',';
  if (ext == ".tsv") return '\t';
  return 0;
}

void CsvReader::Fail(FileErrorKind kind, std::int64_t row, std::int64_t column, const std::string& what) const {
  throw FileError(kind, fileName_, FileLocation{{}, row, column, {}}, what, kSource);
}

void CsvReader::Feed(std::string_view chunk) {
  if (!headDone_) {
    // Hold back the first three bytes until we know whether they are a byte-order mark.
    while (!chunk.empty() && head_.size() < kByteOrderMark.size()) {
      head_.push_back(chunk.front());
      chunk.remove_prefix(1);
      if (kByteOrderMark.substr(0, head_.size()) != head_) break;
    }
    if (head_.size() < kByteOrderMark.size() && kByteOrderMark.substr(0, head_.size()) == head_) return;
    headDone_ = true;
    if (head_ != kByteOrderMark) Consume(head_);
    head_.clear();
  }
  Consume(chunk);
}

void CsvReader::Consume(std::string_view bytes) {
  if (!bytes.empty()) sawData_ = true;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const char ch = bytes[i];
    switch (state_) {
      case State::kAfterCr:
        state_ = State::kFieldStart;
        if (ch == '\n') {  // the LF of a CRLF
          ++i;
          continue;
        }
        continue;  // a lone CR ended the record; read `ch` afresh
      case State::kFieldStart:
        if (ch == '"') {
          state_ = State::kQuoted;
          quoteRow_ = row_;
          quoteColumn_ = column_;
          ++i;
          continue;
        }
        state_ = State::kUnquoted;
        continue;  // read `ch` as part of an unquoted field
      case State::kUnquoted: {
        // Copy the run of ordinary bytes in one go.
        std::size_t j = i;
        while (j < bytes.size() && bytes[j] != delimiter_ && bytes[j] != '\n' && bytes[j] != '\r') ++j;
        AppendToField(bytes.substr(i, j - i));
        i = j;
        if (i == bytes.size()) continue;
        const char end = bytes[i++];
        EndField();
        if (end == delimiter_) {
          ++column_;
          state_ = State::kFieldStart;
        } else {
          EndRecord();
          state_ = end == '\r' ? State::kAfterCr : State::kFieldStart;
        }
        continue;
      }
      case State::kQuoted: {
        const void* quote = std::memchr(bytes.data() + i, '"', bytes.size() - i);
        const std::size_t j =
            quote ? static_cast<std::size_t>(static_cast<const char*>(quote) - bytes.data()) : bytes.size();
        AppendToField(bytes.substr(i, j - i));
        i = j;
        if (i < bytes.size()) {
          state_ = State::kQuoteInQuoted;
          ++i;
        }
        continue;
      }
      case State::kQuoteInQuoted:
        ++i;
        if (ch == '"') {
          AppendToField("\"");
          state_ = State::kQuoted;
        } else if (ch == delimiter_) {
          EndField();
          ++column_;
          state_ = State::kFieldStart;
        } else if (ch == '\n' || ch == '\r') {
          EndField();
          EndRecord();
          state_ = ch == '\r' ? State::kAfterCr : State::kFieldStart;
        } else {
          Fail(FileErrorKind::kMalformed, row_, column_,
               "unexpected character after the closing quote of a quoted field");
        }
        continue;
    }
  }
}

void CsvReader::Finish() {
  if (!headDone_) {
    headDone_ = true;
    if (head_ != kByteOrderMark) Consume(head_);
    head_.clear();
  }
  switch (state_) {
    case State::kQuoted:
      Fail(FileErrorKind::kMalformed, quoteRow_, quoteColumn_, "quoted field is not closed before the end of the file");
    case State::kUnquoted:
    case State::kQuoteInQuoted: EndField(); break;
    case State::kFieldStart:
      // "a,b," ends with an empty last field; after a line break nothing is pending.
      if (column_ > 1) EndField();
      break;
    case State::kAfterCr: break;
  }
  state_ = State::kFieldStart;
}

void CsvReader::AppendToField(std::string_view piece) {
  // Checked as the field grows, so an endless field (/dev/zero, a FIFO that never stops)
  // ends in an error after at most one cell's worth of memory.
  if (piece.find('\0') != std::string_view::npos) {
    Fail(FileErrorKind::kEncoding, row_, column_, "NUL byte in a field; this is not a text file");
  }
  if (field_.size() + piece.size() > static_cast<std::size_t>(embedded::kMaxCellTextLength)) {
    Fail(FileErrorKind::kLimit, row_, column_, "a field longer than 32,767 characters (the cell limit)");
  }
  field_.append(piece);
}

void CsvReader::EndField() {
  if (row_ > kMaxRows) {
    Fail(FileErrorKind::kLimit, row_, column_, "more than 1,048,576 rows");
  }
  if (column_ > kMaxColumns) {
    Fail(FileErrorKind::kLimit, row_, column_, "more than 16,384 fields in a row");
  }
  if (field_.empty()) return;
  if (const std::size_t bad = FindInvalidUtf8(field_); bad != std::string::npos) {
    Fail(FileErrorKind::kEncoding, row_, column_,
         "invalid UTF-8 (byte " + HexByte(static_cast<unsigned char>(field_[bad])) + " at offset " +
             std::to_string(bad) + " of the field)");
  }
  std::optional<double> number = ParseNumber(field_);
  if (!number && decimalComma_ && IsDecimalCommaNumber(field_)) {
    std::string buffer;
    number = ParseNumber(DecimalCommaAsPoint(field_, buffer));
  }
  Variant value = number ? Variant(*number) : Variant(std::move(field_));
  field_.clear();  // also revives a moved-from buffer
  sink_.SetCell(static_cast<std::int32_t>(row_), static_cast<std::int32_t>(column_), std::move(value));
}

void CsvReader::EndRecord() {
  ++row_;
  column_ = 1;
}

std::string CsvReader::FileStart(const std::filesystem::path& path, std::size_t size) {
  std::string bytes(size, '\0');
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.string().c_str(), "rb"), &std::fclose);
  const std::size_t n = file ? std::fread(bytes.data(), 1, size, file.get()) : 0;
  bytes.resize(n);
  if (bytes.starts_with(kByteOrderMark)) bytes.erase(0, kByteOrderMark.size());
  return bytes;
}

void CsvReader::ReadFile(const std::filesystem::path& path, const std::string& sheetName, CellSink& sink) {
  ReadFile(path, sheetName, sink, CsvDialect{DelimiterFor(path), false});
}

void CsvReader::ReadFile(const std::filesystem::path& path, const std::string& sheetName, CellSink& sink,
                         CsvDialect dialect) {
  const std::string name = path.string();
  const char delimiter = DelimiterFor(path);
  if (delimiter == 0 || dialect.delimiter == 0) {
    throw FileError(FileErrorKind::kUnsupported, name, {}, "not a .csv or .tsv file", kSource);
  }
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    throw FileError(FileErrorKind::kOpen, name, {}, "is a directory", kSource);
  }
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(name.c_str(), "rb"), &std::fclose);
  if (!file) {
    throw FileError(FileErrorKind::kOpen, name, {}, std::string("cannot open: ") + std::strerror(errno), kSource);
  }
  CsvReader reader(name, dialect, sink);
  sink.BeginSheet(sheetName);
  std::vector<char> buffer(std::size_t{1} << 20);
  for (;;) {
    const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), file.get());
    if (n > 0) reader.Feed(std::string_view(buffer.data(), n));
    if (n < buffer.size()) {
      if (std::ferror(file.get())) {
        throw FileError(FileErrorKind::kOpen, name, {}, std::string("read failed: ") + std::strerror(errno), kSource);
      }
      break;
    }
  }
  reader.Finish();
  if (!reader.SawData()) throw FileError(FileErrorKind::kEmpty, name, {}, "the file is empty", kSource);
  sink.EndSheet();
}

}  // namespace dez::io
