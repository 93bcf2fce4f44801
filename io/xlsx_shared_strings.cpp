#include "io/xlsx_shared_strings.h"

#include "io/file_error.h"
#include "io/xlsx_text.h"
#include "io/xml_stream_parser.h"

namespace dez::io {

namespace {

class SharedStringsHandler : public XmlHandler {
 public:
  /// `maxMemory` bounds what the table may hold, counted as each string's text and its
  /// std::string object: an empty <si/> costs the table 32 bytes for 5 bytes of XML, so
  /// bounding the inflated bytes alone would let a compressed part of a few megabytes
  /// fill many gigabytes with empty strings.
  SharedStringsHandler(std::vector<std::string>& strings, std::uint64_t maxMemory, const ZipArchive& archive,
                       const std::string& partName, const std::string& source)
      : strings_(strings), maxMemory_(maxMemory), archive_(archive), partName_(partName), source_(source) {}

  void StartElement(std::string_view name, const XmlAttributes&) override {
    if (name == "si") {
      inItem_ = true;
      text_.clear();
    } else if (name == "rPh") {
      ++phoneticDepth_;
    } else if (name == "t" && inItem_ && phoneticDepth_ == 0) {
      inText_ = true;
    }
  }
  void EndElement(std::string_view name) override {
    if (name == "si") {
      DecodeXlsxEscapes(text_);
      memory_ += sizeof(std::string) + text_.size();
      if (memory_ > maxMemory_) {
        throw FileError(FileErrorKind::kLimit, archive_.fileName(), FileLocation{{}, 0, 0, partName_},
                        "the shared strings need more than the reader's bound of " + std::to_string(maxMemory_) +
                            " bytes of memory",
                        source_);
      }
      strings_.push_back(text_);
      inItem_ = false;
    } else if (name == "rPh") {
      if (phoneticDepth_ > 0) --phoneticDepth_;
    } else if (name == "t") {
      inText_ = false;
    }
  }
  void Characters(std::string_view text) override {
    if (inText_) text_.append(text);
  }

 private:
  std::vector<std::string>& strings_;
  std::uint64_t maxMemory_;
  std::uint64_t memory_ = 0;
  const ZipArchive& archive_;
  const std::string& partName_;
  const std::string& source_;
  std::string text_;
  bool inItem_ = false;
  bool inText_ = false;
  int phoneticDepth_ = 0;
};

}  // namespace

std::vector<std::string> XlsxSharedStrings::Read(const ZipArchive& archive, const std::string& partName,
                                                 std::uint64_t maxBytes, const std::string& source,
                                                 std::uint64_t& bytesRead) {
  std::vector<std::string> strings;
  SharedStringsHandler handler(strings, maxBytes, archive, partName, source);
  XmlStreamParser parser(handler, archive.fileName(), FileLocation{{}, 0, 0, partName}, source);
  bytesRead += archive.ReadPart(partName, maxBytes, [&](std::string_view chunk) { parser.Feed(chunk); });
  parser.Finish();
  return strings;
}

}  // namespace dez::io
