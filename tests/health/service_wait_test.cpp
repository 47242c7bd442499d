// The polling rules of the wait for services to run.
#include <gtest/gtest.h>

#include "fake_service_status_source.h"
#include "health/connection_repair.h"

namespace zx::test {
namespace {

using Log = std::vector<std::string>;

Result Wait(FakeServiceStatusSource& scm, const std::vector<std::u16string>& names,
            std::uint32_t timeoutMs, std::uint32_t intervalMs = 200) {
  return WaitServicesRunning(scm, names, timeoutMs, intervalMs);
}

TEST(WaitServicesRunning, BelowOneWalkTimeItGivesUpWithoutAQuery) {
  for (std::uint32_t timeout : {0u, 1u, 199u}) {
    FakeServiceStatusSource scm;
    scm.Add("A", {kRunning});
    EXPECT_EQ(Wait(scm, {u"A"}, timeout), result::kServicesNotRunning) << timeout;
    EXPECT_EQ(scm.log, (Log{"open manager", "open A", "close"})) << timeout;
  }
}

TEST(WaitServicesRunning, WalksTheTimeOutDividedBy200WhateverTheInterval) {
  struct Case {
    std::uint32_t timeout, interval;
    int walks;
  };
  for (Case c : {Case{10000, 200, 50}, Case{10000, 50, 50}, Case{10000, 1000, 50},
                 Case{399, 200, 1}, Case{400, 200, 2}}) {
    FakeServiceStatusSource scm;
    scm.Add("A", {kDown});
    EXPECT_EQ(Wait(scm, {u"A"}, c.timeout, c.interval), result::kServicesNotRunning);
    EXPECT_EQ(scm.Count("query A"), c.walks) << c.timeout << "/" << c.interval;
    // The walk that runs out is followed by a pause as well.
    EXPECT_EQ(scm.Count("pause " + std::to_string(c.interval)), c.walks) << c.timeout;
    EXPECT_EQ(scm.log.back(), "close");
  }
}

TEST(WaitServicesRunning, ServicesRunningWhenAWalkStartsAllLeaveInItWithoutAFurtherPause) {
  FakeServiceStatusSource scm;
  scm.Add("A", {kRunning});
  scm.Add("B", {kRunning});
  EXPECT_EQ(Wait(scm, {u"A", u"B"}, 10000), result::kOk);
  EXPECT_EQ(scm.log, (Log{"open manager", "open A", "open B", "query A", "query B", "close"}));
}

TEST(WaitServicesRunning, AWalkEndsAtTheFirstServiceNotRunningAndDropsOnlyThoseBefore) {
  FakeServiceStatusSource scm;
  scm.Add("A", {kRunning});
  scm.Add("B", {kDown, kDown, kRunning});
  scm.Add("C", {kRunning});
  EXPECT_EQ(Wait(scm, {u"A", u"B", u"C"}, 10000), result::kOk);
  EXPECT_EQ(scm.log, (Log{"open manager", "open A", "open B", "open C",  //
                          "query A", "query B", "pause 200",             //
                          "query B", "pause 200",                        //
                          "query B", "query C", "close"}));
}

TEST(WaitServicesRunning, TheFirstQueryFailureEndsTheWaitWithItsError) {
  FakeServiceStatusSource early;
  early.Add("A", {kRunning});
  early.Add("B", {QueryFails(5), kRunning});
  EXPECT_EQ(Wait(early, {u"A", u"B"}, 10000), 5);
  EXPECT_EQ(early.log, (Log{"open manager", "open A", "open B", "query A", "query B", "close"}));

  FakeServiceStatusSource late;
  late.Add("A", {kDown, kDown, QueryFails(1062)});
  EXPECT_EQ(Wait(late, {u"A"}, 10000), 1062);
  EXPECT_EQ(late.Count("query A"), 3);
  EXPECT_EQ(late.Count("pause"), 2);
  EXPECT_EQ(late.log.back(), "close");
}

TEST(WaitServicesRunning, AnOpeningFailureEndsTheWaitAtOnceWithItsError) {
  FakeServiceStatusSource noManager;
  noManager.managerError = 5;
  noManager.Add("A", {kRunning});
  EXPECT_EQ(Wait(noManager, {u"A"}, 10000), 5);
  EXPECT_EQ(noManager.log, Log{"open manager"});

  FakeServiceStatusSource notInstalled;
  notInstalled.Add("A", {kRunning});
  EXPECT_EQ(Wait(notInstalled, {u"A", u"Missing", u"A"}, 10000), kServiceDoesNotExist);
  EXPECT_EQ(notInstalled.log, (Log{"open manager", "open A", "open Missing", "close"}));
}

TEST(WaitServicesRunning, AnEmptyListSucceedsAfterOpeningAndClosingTheManager) {
  for (std::uint32_t timeout : {0u, 10000u}) {
    FakeServiceStatusSource scm;
    EXPECT_EQ(Wait(scm, {}, timeout), result::kOk);
    EXPECT_EQ(scm.log, (Log{"open manager", "close"}));
  }
}

}  // namespace
}  // namespace zx::test
