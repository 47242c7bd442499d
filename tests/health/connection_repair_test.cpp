// The repair: the tool started once per service found down, then the wait
// for exactly those services.
#include <gtest/gtest.h>

#include "fake_service_status_source.h"
#include "health/connection_repair.h"

namespace zx::test {
namespace {

using Log = std::vector<std::string>;

// The repair with a tool that only leaves its mark in the log.
Result Repair(FakeServiceStatusSource& scm, const ServiceMap& services) {
  return FixConnection(scm, services, [&scm] { scm.log.push_back("launch"); });
}

// The log from the first launch on: the launches and the wait.
Log FromFirstLaunch(const Log& log) {
  auto first = log.begin();
  while (first != log.end() && *first != "launch") ++first;
  return Log(first, log.end());
}

TEST(FixConnection, WithNothingDownItStartsNoToolAndSucceedsAtOnce) {
  FakeServiceStatusSource scm;
  scm.Add("A", {kRunning});
  scm.Add("B", {kRunning});
  EXPECT_EQ(Repair(scm, {{u"A", u""}, {u"B", u""}}), result::kOk);
  EXPECT_EQ(scm.Count("launch"), 0);
  EXPECT_EQ(scm.Count("pause"), 0);
  // The wait of an empty list still opens and closes the manager.
  EXPECT_EQ(Log(scm.log.end() - 2, scm.log.end()), (Log{"open manager", "close"}));
}

TEST(FixConnection, StartsTheToolOncePerDownServiceThenWaitsForThoseOnly) {
  FakeServiceStatusSource scm;
  scm.Add("Up", {kRunning});
  scm.Add("Late", {kDown, kDown, kRunning});
  scm.Add("Later", {kDown, kRunning});
  EXPECT_EQ(Repair(scm, {{u"Up", u""}, {u"Late", u""}, {u"Later", u""}}), result::kOk);
  // Both answer one look while collecting; the wait looks at Later only
  // once Late runs.
  EXPECT_EQ(FromFirstLaunch(scm.log),
            (Log{"launch", "launch", "open manager", "open Late", "open Later",  //
                 "query Late", "pause 200", "query Late", "query Later", "close"}));
}

TEST(FixConnection, AServiceThatStaysDownTimesOutAfterFiftyWalks) {
  FakeServiceStatusSource scm;
  scm.Add("A", {kDown});
  EXPECT_EQ(Repair(scm, {{u"A", u""}}), result::kServicesNotRunning);
  EXPECT_EQ(scm.Count("launch"), 1);
  EXPECT_EQ(scm.Count("pause 200"), 50);
}

TEST(FixConnection, AServiceThatIsNotInstalledFailsWithTheManagersErrorAtOnce) {
  FakeServiceStatusSource scm;
  scm.Add("A", {kRunning});
  EXPECT_EQ(Repair(scm, {{u"A", u""}, {u"Missing", u""}}), kServiceDoesNotExist);
  EXPECT_EQ(scm.Count("launch"), 1);
  EXPECT_EQ(scm.Count("pause"), 0);
  EXPECT_EQ(scm.log.back(), "close");
}

}  // namespace
}  // namespace zx::test
