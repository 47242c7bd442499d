#pragma once
// The Service Control Manager as the health checks see it: status queries
// only, through one manager connection at a time. The real manager and the
// tests' fakes implement it, so the counting rules of the wait are checked
// without real services.
#include <cstddef>
#include <cstdint>
#include <string>

#include "protocol/result_codes.h"

namespace zx {

class ServiceStatusSource {
 public:
  virtual ~ServiceStatusSource() = default;

  // Connects to the manager: 0 or its error code.
  virtual Result OpenManager() = 0;
  // Opens a service for status queries through the connection: 0 or the
  // error code. Opened services are numbered 0, 1, ... in opening order.
  virtual Result OpenServiceForQuery(const std::u16string& name) = 0;
  // Whether opened service `index` is running (pending states are not):
  // 0 or the error code; running is written only on success.
  virtual Result QueryRunning(std::size_t index, bool& running) = 0;
  // Closes every opened service, then the manager; nothing when nothing is open.
  virtual void CloseAll() = 0;
  // Waits between two looks at the services.
  virtual void Pause(std::uint32_t milliseconds) = 0;
};

// Closes what a health check opened through the source, on every return.
class ServiceSession {
 public:
  explicit ServiceSession(ServiceStatusSource& source) : m_source(source) {}
  ~ServiceSession() { m_source.CloseAll(); }
  ServiceSession(const ServiceSession&) = delete;
  ServiceSession& operator=(const ServiceSession&) = delete;

 private:
  ServiceStatusSource& m_source;
};

}  // namespace zx
