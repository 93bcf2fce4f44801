// A hardened streaming XML parser over expat (SAX: no tree is ever built).
//
// Hardening: any DOCTYPE is refused before its internal subset is read, so entity
// declarations, and with them entity-expansion bombs and external entities, never reach
// the parser; an entity declaration, should one ever be reported, is refused as well.
// Only the five predefined entities and character references are expanded.
//
// An exception thrown by the handler stops the parser and reaches the caller of Feed or
// Finish unchanged (it never unwinds through expat's C frames).
//
// Elements may nest at most kMaxXmlDepth deep (FileError kLimit beyond): real workbook
// parts nest about ten deep, and each open level costs the parser memory.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "io/file_error.h"
#include "io/xml_handler.h"

struct XML_ParserStruct;

namespace dez::io {

inline constexpr int kMaxXmlDepth = 256;

class XmlStreamParser {
 public:
  /// `fileName` and `at` (the part, and the sheet when the part is one) name the document
  /// in error messages; `source` is the source of the FileError raised.
  XmlStreamParser(XmlHandler& handler, std::string fileName, FileLocation at, std::string source);
  ~XmlStreamParser();
  XmlStreamParser(const XmlStreamParser&) = delete;
  XmlStreamParser& operator=(const XmlStreamParser&) = delete;

  /// Parses the next piece of the document. Raises FileError kMalformed for a syntax
  /// error (with its line and column), kHostile for a DOCTYPE or entity declaration.
  void Feed(std::string_view chunk);
  /// Ends the document; raises as Feed, also for a document that is cut short.
  void Finish();

  /// Byte offset in the document of the event being delivered, and its length in bytes
  /// (0 for the end of an empty-element tag). Valid only inside a handler call.
  std::int64_t EventOffset() const;
  std::int64_t EventLength() const;

 private:
  void Parse(const char* data, std::size_t size, bool last);
  [[noreturn]] void RaiseParseError();

  static void OnStart(void* self, const char* name, const char** attributes);
  static void OnEnd(void* self, const char* name);
  static void OnText(void* self, const char* text, int length);
  static void OnDoctype(void* self, const char* name, const char* sysid, const char* pubid, int hasInternalSubset);
  static void OnEntity(void* self, const char* name, int isParameter, const char* value, int length, const char* base,
                       const char* systemId, const char* publicId, const char* notation);

  void Stop(std::exception_ptr error);

  XmlHandler& handler_;
  std::string fileName_;
  FileLocation at_;
  std::string source_;
  XML_ParserStruct* parser_ = nullptr;
  std::exception_ptr pending_;
  int depth_ = 0;  // elements open
};

}  // namespace dez::io
