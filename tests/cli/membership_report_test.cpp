// The report's "Cluster Membership" table and the notice of a solution that is not unique.
// The memberships themselves are compared with SciPy in interchange_check.py.
#include <gtest/gtest.h>

#include "run_hcluster.h"

namespace dez::cli::testing {
namespace {

TEST(MembershipReport, FollowsTheScheduleWithOneColumnPerCut) {
  // Jaccard similarities of the animals: steps 6 and 7 both join at 0.5, so the
  // 4-cluster solution is not unique; the cut at 0.45 gives 3 clusters.
  const RunResult run = RunHcluster({Example("animals.csv"), "-t", "binomial", "-l", "--clusters", "2,4", "--cut", "0.45"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "hcluster: the 4-cluster solution is not unique: steps 6 and 7 of the schedule join at the same "
                     "level 0.5\n");
  const std::size_t schedule = run.out.find("Clustering Strategy");
  const std::size_t table = run.out.find("Cluster Membership");
  const std::size_t correlation = run.out.find("Cophenetic Correlation");
  ASSERT_NE(table, std::string::npos) << run.out;
  EXPECT_TRUE(schedule < table && table < correlation);
  EXPECT_TRUE(HasLine(run.out, " Item    2 Clusters  3 Clusters  4 Clusters")) << run.out;
  EXPECT_TRUE(HasLine(run.out, "penguin           2           3           4")) << run.out;
}

}  // namespace
}  // namespace dez::cli::testing
