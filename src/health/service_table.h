#pragma once
// The suite's services, grouped in rows; a request object monitors the
// services of one row.
#include <cstdint>
#include <map>
#include <string>

namespace zx {

constexpr std::size_t kServiceFieldLength = 260;
constexpr std::size_t kServicesPerRow = 8;

struct ServiceEntry {
  char16_t name[kServiceFieldLength];
  char16_t startArgument[kServiceFieldLength];
};

struct ServiceTableRow {
  std::uint32_t id;  // 0 ends the table
  ServiceEntry entries[kServicesPerRow];  // an empty name ends the row
};

extern const ServiceTableRow ServiceTable[];

// Service name -> start argument, ordered by UTF-16 code units.
using ServiceMap = std::map<std::u16string, std::u16string>;

// The row request objects monitor.
constexpr std::uint32_t kMonitoredRowId = 2;

// The services of the first row with rowId in table (ended by an id-0 row);
// a name listed twice keeps its first argument.
ServiceMap CollectRowServices(const ServiceTableRow* table, std::uint32_t rowId);

ServiceMap BuildMonitoredServices();

}  // namespace zx
