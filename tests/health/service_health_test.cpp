// isNeedFixConnection and fixConnection of the real module against the
// sample service installed under the monitored name, with the stand-in
// repair tool installed where the module looks for it.
#include <gtest/gtest.h>

#include "installed_repair_tool.h"
#include "monitored_service.h"
#include "request_health.h"

namespace zx::test {
namespace {

constexpr long kServicesNotRunning = static_cast<long>(0xE00D000F);
constexpr long kServiceDoesNotExist = 1060;

class ServiceHealth : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(health.Created()); }

  // The tool as the module started it: once, hidden, with its argument.
  static void ExpectOneHiddenRun(const std::vector<ToolRun>& runs) {
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].show, std::to_string(SW_HIDE));
    EXPECT_EQ(runs[0].commandLine, InstalledRepairTool::ExpectedCommandLine());
  }

  RequestHealth health;
  DWORD elapsedMs = 0;
};

TEST_F(ServiceHealth, NullPointersAreInvalidArguments) {
  EXPECT_EQ(health.Request()->get_isNeedFixConnection(nullptr), E_INVALIDARG);
  EXPECT_EQ(health.Request()->get_fixConnection(nullptr), E_INVALIDARG);
}

TEST_F(ServiceHealth, ARunningServiceNeedsNoFixAndStartsNoTool) {
  InstalledRepairTool tool(ToolMode::kStartService);
  MonitoredService service;
  ASSERT_TRUE(tool.Installed() && service.Installed());
  ASSERT_TRUE(service.Start() && service.Reaches(SERVICE_RUNNING));

  EXPECT_EQ(health.NeedFix(), 0);
  EXPECT_EQ(health.Fix(elapsedMs), 0);
  ReportDuration("service running", elapsedMs);
  EXPECT_TRUE(tool.Runs().empty());
}

TEST_F(ServiceHealth, AStoppedServiceIsStartedByTheToolAndReportedRepaired) {
  InstalledRepairTool tool(ToolMode::kStartService);
  MonitoredService service;
  ASSERT_TRUE(tool.Installed() && service.Installed());

  EXPECT_EQ(health.NeedFix(), 1);
  EXPECT_EQ(health.Fix(elapsedMs), 0);
  ReportDuration("service started by the tool", elapsedMs);
  EXPECT_EQ(service.State(), DWORD{SERVICE_RUNNING});
  ExpectOneHiddenRun(tool.Runs());
  EXPECT_EQ(health.NeedFix(), 0);
}

TEST_F(ServiceHealth, AServiceThatStaysDownIsReportedAfterTheWait) {
  InstalledRepairTool tool(ToolMode::kDoNothing);
  MonitoredService service;
  ASSERT_TRUE(tool.Installed() && service.Installed());

  EXPECT_EQ(health.Fix(elapsedMs), kServicesNotRunning);
  ReportDuration("service stays down", elapsedMs);
  ExpectOneHiddenRun(tool.Runs());
  EXPECT_EQ(health.NeedFix(), 1);
}

TEST_F(ServiceHealth, AMissingServiceNeedsAFixThatFailsAtOnceWithTheManagersError) {
  InstalledRepairTool tool(ToolMode::kDoNothing);
  ASSERT_TRUE(tool.Installed() && RemoveMonitoredService());

  EXPECT_EQ(health.NeedFix(), 1);
  EXPECT_EQ(health.Fix(elapsedMs), kServiceDoesNotExist);
  ReportDuration("service not installed", elapsedMs);
}

TEST_F(ServiceHealth, AStartPendingServiceIsDownUntilItRuns) {
  InstalledRepairTool tool(ToolMode::kDoNothing);
  MonitoredService service({L"--start-pending", L"5000"});
  ASSERT_TRUE(tool.Installed() && service.Installed());
  ASSERT_TRUE(service.Start());
  ASSERT_EQ(service.State(), DWORD{SERVICE_START_PENDING});

  EXPECT_EQ(health.NeedFix(), 1);
  // The tool does nothing; the wait sees the service come up by itself.
  EXPECT_EQ(health.Fix(elapsedMs), 0);
  ReportDuration("service leaving start-pending", elapsedMs);
  ExpectOneHiddenRun(tool.Runs());
}

}  // namespace
}  // namespace zx::test
