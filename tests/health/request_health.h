#pragma once
// A request object created through the real module, asked about the
// health of its services the way a page asks.
#include <windows.h>
#include <wrl/client.h>

#include "harness/zxmlhttp_module.h"
#include "res/zxmlhttp_idl.h"

namespace zx::test {

class RequestHealth {
 public:
  RequestHealth();
  ~RequestHealth();
  RequestHealth(const RequestHealth&) = delete;
  RequestHealth& operator=(const RequestHealth&) = delete;

  bool Created() const { return static_cast<bool>(m_request); }
  IZevXMLHttpRequest* Request() const { return m_request.Get(); }

  // isNeedFixConnection's stored value (-2 if it stored none).
  int NeedFix();
  // fixConnection's code; elapsedMs says how long the call blocked.
  long Fix(DWORD& elapsedMs);

 private:
  ZxmlhttpModule m_module;
  Microsoft::WRL::ComPtr<IZevXMLHttpRequest> m_request;
};

// The three outcomes are measured, not asserted: the figures go to the log.
void ReportDuration(const char* what, DWORD elapsedMs);

}  // namespace zx::test
