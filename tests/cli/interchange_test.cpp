// The tree's outputs (--json linkage and membership, --newick, --picture) checked by
// interchange_check.py against SciPy, the independent implementation.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "run_hcluster.h"
#include "tests/support/needs.h"

namespace dez::cli::testing {
namespace {

TEST(Interchange, AgreesWithSciPy) {
  DEZ_NEEDS(std::system("/usr/bin/python3 -c 'import scipy' >/dev/null 2>&1") == 0, "python3-scipy");
  TempDir dir;
  const fs::path script = fs::path(DEZ_EXAMPLES_DIR) / ".." / "tests" / "cli" / "interchange_check.py";
  const std::string command = "/usr/bin/python3 '" + script.string() + "' '" + HCLUSTER_PATH + "' '" +
                              dir.path().string() + "' > '" + (dir / "log") + "' 2>&1";
  const int status = std::system(command.c_str());
  EXPECT_EQ(status, 0) << ReadAll(dir / "log");
}

}  // namespace
}  // namespace dez::cli::testing
