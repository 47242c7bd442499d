#include "health/service_query.h"

namespace zx {
namespace {

bool IsServiceDown(ServiceStatusSource& source, const std::u16string& name) {
  bool running = false;
  return QueryServiceRunning(source, name, running) != result::kOk || !running;
}

}  // namespace

Result QueryServiceRunning(ServiceStatusSource& source, const std::u16string& name, bool& running) {
  if (Result error = source.OpenManager()) return error;
  ServiceSession session(source);
  if (Result error = source.OpenServiceForQuery(name)) return error;
  return source.QueryRunning(0, running);
}

bool IsAnyServiceDown(ServiceStatusSource& source, const ServiceMap& services) {
  bool anyDown = false;
  for (const auto& service : services) {
    if (IsServiceDown(source, service.first)) anyDown = true;
  }
  return anyDown;
}

void CollectStoppedServices(ServiceStatusSource& source, const ServiceMap& services,
                            ServiceMap& stopped) {
  for (const auto& service : services) {
    if (IsServiceDown(source, service.first)) stopped.insert(service);
  }
}

}  // namespace zx
