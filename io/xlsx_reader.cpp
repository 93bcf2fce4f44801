#include "io/xlsx_reader.h"

#include <algorithm>

#include "io/file_error.h"
#include "io/xlsx_package.h"
#include "io/xlsx_shared_strings.h"
#include "io/xlsx_sheet_handler.h"
#include "io/xml_stream_parser.h"
#include "io/zip_archive.h"

namespace dez::io {

namespace {
constexpr const char* kSource = "ReadXlsx";
}

void XlsxReader::ReadFile(const std::filesystem::path& path, CellSink& sink, const XlsxReadLimits& limits) {
  const ZipArchive archive(path, kSource);
  const XlsxLayout layout = XlsxPackage::Discover(archive, limits, kSource);

  std::uint64_t bytesLeft = limits.maxTotalBytes;
  const auto partBound = [&] { return std::min(limits.maxPartBytes, bytesLeft); };

  std::vector<std::string> sharedStrings;
  if (!layout.sharedStringsPart.empty()) {
    std::uint64_t bytesRead = 0;
    sharedStrings = XlsxSharedStrings::Read(archive, layout.sharedStringsPart, partBound(), kSource, bytesRead);
    bytesLeft -= bytesRead;
  }

  std::uint64_t cellsLeft = limits.maxCells;
  for (const XlsxSheetEntry& sheet : layout.sheets) {
    sink.BeginSheet(sheet.name);
    XlsxSheetHandler handler(archive.fileName(), sheet.name, kSource, sharedStrings, sink, cellsLeft);
    XmlStreamParser parser(handler, archive.fileName(), FileLocation{sheet.name, 0, 0, sheet.partName}, kSource);
    bytesLeft -= archive.ReadPart(sheet.partName, partBound(), [&](std::string_view chunk) { parser.Feed(chunk); });
    parser.Finish();
    sink.EndSheet();
  }
}

}  // namespace dez::io
