// Inputs built to exhaust memory or confuse the readers: each must end in a FileError
// with the right kind and message, in bounded memory, leaving no workbook open.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "io/file_error.h"
#include "io/workbook_reader.h"
#include "io/xml_stream_parser.h"
#include "temp_dir.h"
#include "tests/support/error_of.h"
#include "xlsx_fixture.h"

namespace dez::io {
namespace {

using testing::TempDir;

/// A FIFO named `name` fed with `chunk` again and again until its reader goes away.
class EndlessFifo {
 public:
  EndlessFifo(const TempDir& dir, const std::string& name, std::string chunk) : path_(dir / name) {
    ::mkfifo(path_.c_str(), 0600);
    writer_ = std::thread([this, chunk = std::move(chunk)] {
      const int fd = ::open(path_.c_str(), O_WRONLY);
      if (fd < 0) return;
      while (::write(fd, chunk.data(), chunk.size()) > 0) {
      }
      ::close(fd);
    });
  }
  ~EndlessFifo() { writer_.join(); }
  EndlessFifo(const EndlessFifo&) = delete;
  EndlessFifo& operator=(const EndlessFifo&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::thread writer_;
};

std::string Nested(int depth) {
  std::string xml;
  for (int i = 0; i < depth; ++i) xml += "<x>";
  for (int i = 0; i < depth; ++i) xml += "</x>";
  return xml;
}

struct HostileInput {
  std::string name;
  std::function<std::filesystem::path(const TempDir&)> make;
  FileErrorKind kind;
  std::string message;  // the end of the description
};

TEST(HostileReaders, FailWithTheirMessageInBoundedMemory) {
  std::signal(SIGPIPE, SIG_IGN);  // the endless writers see EPIPE when the reader stops
  const std::vector<HostileInput> cases = {
      {"zeros_as_csv",
       [](const TempDir& d) {
         std::filesystem::create_symlink("/dev/zero", d / "zero.csv");
         return d / "zero.csv";
       },
       FileErrorKind::kEncoding, "row 1, column 1: NUL byte in a field; this is not a text file"},
      {"endless_field_csv", nullptr, FileErrorKind::kLimit,
       "row 1, column 1: a field longer than 32,767 characters (the cell limit)"},
      {"deep_nesting_xlsx",
       [](const TempDir& d) {
         testing::XlsxFixture().Sheet("S", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>" + Nested(100'000)).Write(d / "deep.xlsx");
         return d / "deep.xlsx";
       },
       FileErrorKind::kLimit, "elements nest more than 256 deep"},
      {"two_values_in_a_cell",
       [](const TempDir& d) {
         testing::XlsxFixture().Sheet("S", "<row r=\"1\"><c r=\"A1\"><v>7</v><v>8</v></c></row>").Write(d / "two.xlsx");
         return d / "two.xlsx";
       },
       FileErrorKind::kMalformed, "sheet \"S\", cell A1: the cell holds more than one value"},
  };
  for (const HostileInput& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    std::unique_ptr<EndlessFifo> fifo;
    std::filesystem::path file;
    if (c.make) {
      file = c.make(dir);
    } else {
      fifo = std::make_unique<EndlessFifo>(dir, "endless.csv", std::string(4096, 'b'));
      file = fifo->path();
    }
    auto app = embedded::EmbeddedApplication::Create();
    const std::size_t open = app->OpenWorkbooks().size();
    const FileError e = test::ErrorOf<FileError>([&] { WorkbookReader::Read(*app, file); });
    fifo.reset();  // the reader has closed the FIFO: the writer ends
    EXPECT_EQ(e.kind, c.kind) << e.description;
    EXPECT_TRUE(e.description.ends_with(c.message)) << e.description;
    EXPECT_EQ(app->OpenWorkbooks().size(), open);
  }
}

}  // namespace
}  // namespace dez::io
