#include "health/service_table.h"

namespace zx {
namespace {

// A fixed field need not end with a terminator when it is full.
std::u16string FieldText(const char16_t (&field)[kServiceFieldLength]) {
  std::size_t length = 0;
  while (length < kServiceFieldLength && field[length] != u'\0') ++length;
  return std::u16string(field, length);
}

}  // namespace

const ServiceTableRow ServiceTable[] = {
    {1, {{u"ZevServBeta", u"/start"}, {u"Velmora Sentry Service", u"-Start"}}},
    {2, {{u"Velmora Online Scan Service", u"-Start"}}},
    {0, {}},
};

ServiceMap CollectRowServices(const ServiceTableRow* table, std::uint32_t rowId) {
  ServiceMap services;
  for (const ServiceTableRow* row = table; row->id != 0; ++row) {
    if (row->id != rowId) continue;
    for (const ServiceEntry& entry : row->entries) {
      if (entry.name[0] == u'\0') break;
      services.emplace(FieldText(entry.name), FieldText(entry.startArgument));
    }
    break;
  }
  return services;
}

ServiceMap BuildMonitoredServices() { return CollectRowServices(ServiceTable, kMonitoredRowId); }

}  // namespace zx
