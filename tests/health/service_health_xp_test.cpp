// fixConnection on a system before Vista, run by wine-run-xp in a prefix
// that reports Windows XP: the tool is started with CreateProcessW, without
// the shell and without asking for a window.
#include <gtest/gtest.h>

#include "installed_repair_tool.h"
#include "monitored_service.h"
#include "request_health.h"

namespace zx::test {
namespace {

TEST(RepairBeforeVista, RunsInAPrefixReportingAnEarlierSystem) {
  RequestHealth health;
  ASSERT_TRUE(health.Created());
  VARIANT_BOOL afterVista = -2;
  EXPECT_EQ(health.Request()->get_isOSVersionAfterVista(&afterVista), S_OK);
  EXPECT_EQ(afterVista, 0) << "run this program with tests/health/wine-run-xp";
}

TEST(RepairBeforeVista, StartsTheToolByItsQuotedPathWithoutAShowCommand) {
  RequestHealth health;
  InstalledRepairTool tool(ToolMode::kStartService);
  MonitoredService service;
  ASSERT_TRUE(health.Created() && tool.Installed() && service.Installed());

  DWORD elapsedMs = 0;
  EXPECT_EQ(health.Fix(elapsedMs), 0);
  ReportDuration("service started by the tool, before Vista", elapsedMs);
  std::vector<ToolRun> runs = tool.Runs();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].show, "-");
  EXPECT_EQ(runs[0].commandLine, InstalledRepairTool::ExpectedCommandLine());
  EXPECT_EQ(service.State(), DWORD{SERVICE_RUNNING});
}

}  // namespace
}  // namespace zx::test
