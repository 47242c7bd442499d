// The health checks' rules against a scripted Service Control Manager: the
// look at the services, the repair, and its wait for them to run.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "health/connection_repair.h"
#include "health/service_query.h"

namespace zx::test {
namespace {

constexpr Result kQueryError = 5, kNotInstalled = 1060;
constexpr Result kNotRunning = result::kServicesNotRunning;

// A scripted Service Control Manager. Built from "A:R B:DDE": service A
// answers its status queries with running, B with down, down, then a
// failing query (kQueryError), the last answer repeating; any other
// service is not installed, and "M:E" fails the manager itself. Every call
// is logged: "M" the manager opened, "+A" A opened, "?A" A queried, "p200"
// a pause of 200 ms, "-" everything closed.
class ScriptedScm final : public ServiceStatusSource {
 public:
  explicit ScriptedScm(const std::string& scripts) {
    std::istringstream words(scripts);
    for (std::string word; words >> word;) m_scripts[word.substr(0, 1)] = word.substr(2);
  }
  Result OpenManager() override {
    Log("M");
    return m_scripts.count("M") ? kQueryError : 0;
  }
  Result OpenServiceForQuery(const std::u16string& wideName) override {
    const std::string name(wideName.begin(), wideName.end());
    Log("+" + name);
    if (!m_scripts.count(name)) return kNotInstalled;
    m_opened.push_back(name);
    return 0;
  }
  Result QueryRunning(std::size_t index, bool& running) override {
    Log("?" + m_opened.at(index));
    std::string& script = m_scripts[m_opened[index]];
    const char answer = script.front();
    if (script.size() > 1) script.erase(0, 1);
    if (answer != 'E') running = answer == 'R';
    return answer == 'E' ? kQueryError : 0;
  }
  void CloseAll() override {
    Log("-");
    m_opened.clear();
  }
  void Pause(std::uint32_t milliseconds) override { Log("p" + std::to_string(milliseconds)); }
  void Log(const std::string& call) { log += (log.empty() ? "" : " ") + call; }

  std::string log;

 private:
  std::map<std::string, std::string> m_scripts;
  std::vector<std::string> m_opened;
};

// One service a letter.
ServiceMap Services(const std::string& names) {
  ServiceMap services;
  for (char name : names) services[std::u16string(1, name)] = u"-Start";
  return services;
}

// Every service is looked at, each in a session of its own, and any one
// not running or not queryable is down. The repair starts the tool ("L")
// once for each of those, then waits for exactly those, ten seconds at most.
TEST(HealthCheck, RepairStartsTheToolForEachDownServiceAndWaitsForThose) {
  std::string fiftyWalks;
  for (int walk = 0; walk < 50; ++walk) fiftyWalks += " ?A p200";
  const struct Case {
    std::string scripts, services;
    bool down;
    Result repaired;
    std::string log;
  } cases[] = {
      {"A:R B:R", "AB", false, 0, "M +A ?A - M +B ?B - M -"},
      {"A:R B:DDR C:DR", "ABC", true, 0,
       "M +A ?A - M +B ?B - M +C ?C - L L M +B +C ?B p200 ?B ?C -"},
      {"A:ER", "A", true, 0, "M +A ?A - L M +A ?A -"},
      {"A:R", "AX", true, kNotInstalled, "M +A ?A - M +X - L M +X -"},
      {"M:E A:R", "A", true, kQueryError, "M L M"},
      {"A:D", "A", true, kNotRunning, "M +A ?A - L M +A" + fiftyWalks + " -"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scripts);
    ScriptedScm looked(c.scripts), repaired(c.scripts);
    EXPECT_EQ(IsAnyServiceDown(looked, Services(c.services)), c.down);
    EXPECT_EQ(std::count(looked.log.begin(), looked.log.end(), 'M'),
              static_cast<std::ptrdiff_t>(c.services.size()));
    EXPECT_EQ(FixConnection(repaired, Services(c.services), [&] { repaired.Log("L"); }),
              c.repaired);
    EXPECT_EQ(repaired.log, c.log);
  }
}

// A walk ends at the first service not running; the walks number the
// time-out divided by 200 ms, whatever the pause between them.
TEST(HealthCheck, WaitWalksThePendingServicesUntilTheyAllRun) {
  const struct Case {
    const char *scripts, *names;
    std::uint32_t timeoutMs, pauseMs;
    Result result;
    const char* log;
  } cases[] = {
      {"A:R", "A", 199, 200, kNotRunning, "M +A -"},
      {"A:D", "A", 399, 200, kNotRunning, "M +A ?A p200 -"},
      {"A:D", "A", 400, 50, kNotRunning, "M +A ?A p50 ?A p50 -"},
      {"A:R B:ER", "AB", 10000, 200, kQueryError, "M +A +B ?A ?B -"},
      {"A:R", "AXA", 10000, 200, kNotInstalled, "M +A +X -"},
      {"", "", 0, 200, 0, "M -"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.log);
    ScriptedScm scm(c.scripts);
    std::vector<std::u16string> names;
    for (const char* name = c.names; *name; ++name) names.push_back(std::u16string(1, *name));
    EXPECT_EQ(WaitServicesRunning(scm, names, c.timeoutMs, c.pauseMs), c.result);
    EXPECT_EQ(scm.log, c.log);
  }
}

TEST(ServiceTable, RequestObjectsMonitorTheServicesOfTheirRow) {
  // The first row with the id, up to its first empty name; a name listed
  // twice keeps its first argument; nothing is read behind the id-0 row.
  static ServiceTableRow table[] = {
      {1, {{u"One", u"1"}}},
      {2, {{u"B", u"b"}, {u"A", u"a"}, {u"B", u"again"}, {u"", u""}, {u"After a gap", u"x"}}},
      {2, {{u"Second row", u"y"}}},
      {4, {{}, {u"Next", u"n"}}},
      {0, {}},
      {3, {{u"Behind the end", u"x"}}},
  };
  EXPECT_EQ(CollectRowServices(table, 2), (ServiceMap{{u"A", u"a"}, {u"B", u"b"}}));
  EXPECT_EQ(CollectRowServices(table, 1), (ServiceMap{{u"One", u"1"}}));
  EXPECT_TRUE(CollectRowServices(table, 3).empty());
  // Full fields carry no terminator: nothing is read beyond them.
  ServiceEntry& full = table[3].entries[0];
  std::fill(std::begin(full.name), std::end(full.name), u'n');
  std::fill(std::begin(full.startArgument), std::end(full.startArgument), u'-');
  const std::u16string fullName(kServiceFieldLength, u'n'), fullArgument(kServiceFieldLength, u'-');
  EXPECT_EQ(CollectRowServices(table, 4), (ServiceMap{{fullName, fullArgument}, {u"Next", u"n"}}));
}

}  // namespace
}  // namespace zx::test
