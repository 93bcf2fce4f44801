#include "io/xlsx_shared_strings.h"

#include "io/xlsx_text.h"
#include "io/xml_stream_parser.h"

namespace dez::io {

namespace {

class SharedStringsHandler : public XmlHandler {
 public:
  explicit SharedStringsHandler(std::vector<std::string>& strings) : strings_(strings) {}

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
  SharedStringsHandler handler(strings);
  XmlStreamParser parser(handler, archive.fileName(), FileLocation{{}, 0, 0, partName}, source);
  bytesRead += archive.ReadPart(partName, maxBytes, [&](std::string_view chunk) { parser.Feed(chunk); });
  parser.Finish();
  return strings;
}

}  // namespace dez::io
