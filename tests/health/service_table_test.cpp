// Which services a request object monitors.
#include <gtest/gtest.h>

#include "health/service_table.h"

namespace zx::test {
namespace {

TEST(MonitoredServices, AreTheServicesOfRowTwo) {
  EXPECT_EQ(BuildMonitoredServices(), (ServiceMap{{u"Velmora Online Scan Service", u"-Start"}}));
}

TEST(CollectRowServices, TakesTheFirstMatchingRowUpToItsFirstEmptyName) {
  static const ServiceTableRow table[] = {
      {1, {{u"One", u"1"}}},
      {2, {{u"B", u"b"}, {u"A", u"a"}, {u"", u"ignored"}, {u"After gap", u"x"}}},
      {2, {{u"Second row", u"y"}}},
      {0, {}},
  };
  EXPECT_EQ(CollectRowServices(table, 2), (ServiceMap{{u"A", u"a"}, {u"B", u"b"}}));
  EXPECT_EQ(CollectRowServices(table, 1), (ServiceMap{{u"One", u"1"}}));
}

TEST(CollectRowServices, ANameListedTwiceKeepsItsFirstArgument) {
  static const ServiceTableRow table[] = {
      {2, {{u"S", u"first"}, {u"T", u"t"}, {u"S", u"second"}}},
      {0, {}},
  };
  EXPECT_EQ(CollectRowServices(table, 2), (ServiceMap{{u"S", u"first"}, {u"T", u"t"}}));
}

TEST(CollectRowServices, NoMatchingRowBeforeTheEndGivesNoServices) {
  static const ServiceTableRow table[] = {
      {1, {{u"One", u"1"}}},
      {0, {}},
      {2, {{u"Behind the end", u"x"}}},
  };
  EXPECT_TRUE(CollectRowServices(table, 2).empty());
}

TEST(CollectRowServices, ARowOfEightFullFieldsIsReadWhole) {
  static ServiceTableRow table[2] = {};
  table[0].id = 2;
  for (std::size_t slot = 0; slot < kServicesPerRow; ++slot) {
    ServiceEntry& entry = table[0].entries[slot];
    std::fill(std::begin(entry.name), std::end(entry.name), static_cast<char16_t>(u'a' + slot));
    std::fill(std::begin(entry.startArgument), std::end(entry.startArgument), u'-');
  }
  ServiceMap services = CollectRowServices(table, 2);
  ASSERT_EQ(services.size(), kServicesPerRow);
  for (const auto& service : services) {
    EXPECT_EQ(service.first.size(), kServiceFieldLength);
    EXPECT_EQ(service.second, std::u16string(kServiceFieldLength, u'-'));
  }
}

}  // namespace
}  // namespace zx::test
