// One look at the monitored services: the single query, the need-fix
// answer and the collection of stopped services.
#include <gtest/gtest.h>

#include "fake_service_status_source.h"
#include "health/service_query.h"

namespace zx::test {
namespace {

using Log = std::vector<std::string>;

TEST(QueryServiceRunning, OpensQueriesAndClosesForEachLook) {
  FakeServiceStatusSource scm;
  scm.Add("A", {kRunning, kDown});
  bool running = false;
  EXPECT_EQ(QueryServiceRunning(scm, u"A", running), result::kOk);
  EXPECT_TRUE(running);
  EXPECT_EQ(QueryServiceRunning(scm, u"A", running), result::kOk);
  EXPECT_FALSE(running);
  EXPECT_EQ(scm.log, (Log{"open manager", "open A", "query A", "close",  //
                          "open manager", "open A", "query A", "close"}));
}

TEST(QueryServiceRunning, PassesTheManagersErrorAndLeavesTheFlagAlone) {
  FakeServiceStatusSource noManager;
  noManager.managerError = 5;
  bool running = true;
  EXPECT_EQ(QueryServiceRunning(noManager, u"A", running), 5);
  EXPECT_TRUE(running);
  EXPECT_EQ(noManager.log, Log{"open manager"});

  FakeServiceStatusSource scm;
  scm.Add("Failing", {QueryFails(6)});
  EXPECT_EQ(QueryServiceRunning(scm, u"Missing", running), kServiceDoesNotExist);
  EXPECT_EQ(QueryServiceRunning(scm, u"Failing", running), 6);
  EXPECT_TRUE(running);
  EXPECT_EQ(scm.Count("close"), 2);
}

TEST(IsAnyServiceDown, AnyServiceNotRunningOrNotQueryableNeedsAFix) {
  struct Case {
    std::vector<StatusAnswer> second;
    bool down;
  };
  for (Case c : {Case{{kRunning}, false}, Case{{kDown}, true}, Case{{QueryFails(5)}, true}}) {
    FakeServiceStatusSource scm;
    scm.Add("A", {kRunning});
    scm.Add("B", c.second);
    EXPECT_EQ(IsAnyServiceDown(scm, {{u"A", u"-Start"}, {u"B", u"/start"}}), c.down);
  }
  FakeServiceStatusSource scm;
  scm.Add("A", {kRunning});
  EXPECT_TRUE(IsAnyServiceDown(scm, {{u"A", u""}, {u"Missing", u""}}));
  scm.managerError = 5;
  EXPECT_TRUE(IsAnyServiceDown(scm, {{u"A", u""}}));
}

TEST(IsAnyServiceDown, NoServicesNeedNoFixAndTouchNothing) {
  FakeServiceStatusSource scm;
  EXPECT_FALSE(IsAnyServiceDown(scm, {}));
  EXPECT_TRUE(scm.log.empty());
}

TEST(IsAnyServiceDown, QueriesEveryServiceInMapOrderEvenAfterOneIsDown) {
  FakeServiceStatusSource scm;
  scm.Add("A", {kDown});
  scm.Add("B", {kDown});
  scm.Add("C", {kRunning});
  EXPECT_TRUE(IsAnyServiceDown(scm, {{u"C", u""}, {u"A", u""}, {u"B", u""}}));
  Log queries;
  for (const std::string& entry : scm.log) {
    if (entry.rfind("query", 0) == 0) queries.push_back(entry);
  }
  EXPECT_EQ(queries, (Log{"query A", "query B", "query C"}));
}

TEST(CollectStoppedServices, AddsEveryDownServiceWithItsStartArgument) {
  FakeServiceStatusSource scm;
  scm.Add("Up", {kRunning});
  scm.Add("Stopped", {kDown});
  scm.Add("Failing", {QueryFails(5)});
  ServiceMap stopped = {{u"Earlier", u"kept"}};
  CollectStoppedServices(
      scm, {{u"Up", u"1"}, {u"Stopped", u"2"}, {u"Failing", u"3"}, {u"Missing", u"4"}}, stopped);
  EXPECT_EQ(
      stopped,
      (ServiceMap{
          {u"Earlier", u"kept"}, {u"Stopped", u"2"}, {u"Failing", u"3"}, {u"Missing", u"4"}}));
}

}  // namespace
}  // namespace zx::test
