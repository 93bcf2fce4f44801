#include "io/xml_stream_parser.h"

#include <expat.h>

#include <climits>
#include <new>

#include "io/file_error.h"

namespace dez::io {

XmlStreamParser::XmlStreamParser(XmlHandler& handler, std::string fileName, FileLocation at, std::string source)
    : handler_(handler), fileName_(std::move(fileName)), at_(std::move(at)), source_(std::move(source)) {
  parser_ = XML_ParserCreate(nullptr);
  if (parser_ == nullptr) throw std::bad_alloc();
  XML_SetUserData(parser_, this);
  XML_SetElementHandler(parser_, &OnStart, &OnEnd);
  XML_SetCharacterDataHandler(parser_, &OnText);
  XML_SetStartDoctypeDeclHandler(parser_, &OnDoctype);
  XML_SetEntityDeclHandler(parser_, &OnEntity);
  XML_SetParamEntityParsing(parser_, XML_PARAM_ENTITY_PARSING_NEVER);
}

XmlStreamParser::~XmlStreamParser() { XML_ParserFree(parser_); }

void XmlStreamParser::Stop(std::exception_ptr error) {
  if (!pending_) pending_ = std::move(error);
  XML_StopParser(parser_, XML_FALSE);
}

void XmlStreamParser::OnStart(void* self, const char* name, const char** attributes) {
  auto* p = static_cast<XmlStreamParser*>(self);
  if (p->pending_) return;
  if (++p->depth_ > kMaxXmlDepth) {
    p->Stop(std::make_exception_ptr(FileError(FileErrorKind::kLimit, p->fileName_, p->at_,
                                              "elements nest more than " + std::to_string(kMaxXmlDepth) + " deep",
                                              p->source_)));
    return;
  }
  try {
    p->handler_.StartElement(LocalName(name), XmlAttributes(attributes));
  } catch (...) {
    p->Stop(std::current_exception());
  }
}

void XmlStreamParser::OnEnd(void* self, const char* name) {
  auto* p = static_cast<XmlStreamParser*>(self);
  if (p->pending_) return;
  --p->depth_;
  try {
    p->handler_.EndElement(LocalName(name));
  } catch (...) {
    p->Stop(std::current_exception());
  }
}

void XmlStreamParser::OnText(void* self, const char* text, int length) {
  auto* p = static_cast<XmlStreamParser*>(self);
  if (p->pending_) return;
  try {
    p->handler_.Characters(std::string_view(text, static_cast<std::size_t>(length)));
  } catch (...) {
    p->Stop(std::current_exception());
  }
}

void XmlStreamParser::OnDoctype(void* self, const char* /*name*/, const char* /*sysid*/, const char* /*pubid*/,
                                int /*hasInternalSubset*/) {
  auto* p = static_cast<XmlStreamParser*>(self);
  if (p->pending_) return;
  p->Stop(
      std::make_exception_ptr(FileError(FileErrorKind::kHostile, p->fileName_, p->at_,
                                        "DOCTYPE declarations are refused (no workbook part has one)", p->source_)));
}

void XmlStreamParser::OnEntity(void* self, const char* /*name*/, int /*isParameter*/, const char* /*value*/,
                               int /*length*/, const char* /*base*/, const char* /*systemId*/, const char* /*publicId*/,
                               const char* /*notation*/) {
  auto* p = static_cast<XmlStreamParser*>(self);
  if (p->pending_) return;
  p->Stop(std::make_exception_ptr(
      FileError(FileErrorKind::kHostile, p->fileName_, p->at_, "entity declarations are refused", p->source_)));
}

void XmlStreamParser::Feed(std::string_view chunk) {
  // expat takes int lengths; feed very large pieces in slices.
  constexpr std::size_t kSlice = std::size_t{1} << 30;
  while (chunk.size() > kSlice) {
    Parse(chunk.data(), kSlice, false);
    chunk.remove_prefix(kSlice);
  }
  Parse(chunk.data(), chunk.size(), false);
}

void XmlStreamParser::Finish() { Parse(nullptr, 0, true); }

std::int64_t XmlStreamParser::EventOffset() const { return XML_GetCurrentByteIndex(parser_); }

std::int64_t XmlStreamParser::EventLength() const { return XML_GetCurrentByteCount(parser_); }

void XmlStreamParser::Parse(const char* data, std::size_t size, bool last) {
  const XML_Status status = XML_Parse(parser_, data, static_cast<int>(size), last ? XML_TRUE : XML_FALSE);
  if (pending_) std::rethrow_exception(pending_);
  if (status != XML_STATUS_OK) RaiseParseError();
}

void XmlStreamParser::RaiseParseError() {
  const XML_Error code = XML_GetErrorCode(parser_);
  const auto line = XML_GetCurrentLineNumber(parser_);
  const auto column = XML_GetCurrentColumnNumber(parser_);
  throw FileError(FileErrorKind::kMalformed, fileName_, at_,
                  "malformed XML at line " + std::to_string(line) + ", column " + std::to_string(column + 1) + ": " +
                      XML_ErrorString(code),
                  source_);
}

}  // namespace dez::io
