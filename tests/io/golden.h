// Parts of a written package compared whole with the copies kept in tests/io/golden/.
// Set DEZ_WRITE_GOLDEN=1 to rewrite the copies after a deliberate change to the writer,
// and review their difference before committing it.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "temp_dir.h"
#include "xlsx_fixture.h"

namespace dez::io::testing {

/// Expects each of `parts` of `file` to equal the kept copy named `prefix` + its file name.
inline void ExpectPartsAsKept(const std::filesystem::path& file, const std::string& prefix,
                              std::initializer_list<const char*> parts) {
  for (const char* part : parts) {
    const std::string written = Part(file, part);
    const auto kept = std::filesystem::path(DEZ_IO_GOLDEN) / (prefix + std::filesystem::path(part).filename().string());
    if (std::getenv("DEZ_WRITE_GOLDEN") != nullptr) std::ofstream(kept, std::ios::binary) << written;
    EXPECT_EQ(written, ReadAll(kept)) << part;
  }
}

}  // namespace dez::io::testing
