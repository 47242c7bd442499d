#pragma once
// Driving a request object in asynchronous mode from a test: the calls a
// page script makes, and a message loop with a deadline so that a handler
// that never comes fails the test instead of hanging it.
#include <windows.h>
#include <wrl/client.h>

#include <functional>
#include <string>
#include <vector>

#include "com/zxmlhttp_idl.h"

namespace zx::test {

inline constexpr HRESULT Code(unsigned long bits) { return static_cast<HRESULT>(bits); }
inline constexpr DWORD kPatienceMs = 15000;

// Dispatches this thread's messages until done() holds or timeoutMs passed;
// returns done().
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs = kPatienceMs);
// Dispatches what is queued now.
void PumpPendingMessages();
// Waits until done() holds or timeoutMs passed, dispatching nothing.
bool PollUntil(const std::function<bool()>& done, DWORD timeoutMs = kPatienceMs);

// The hidden callback windows that belong to a thread.
std::vector<HWND> CallbackWindowsOf(DWORD threadId);

// How many handles the process holds.
DWORD ProcessHandleCount();

class AsyncRequest {
 public:
  explicit AsyncRequest(Microsoft::WRL::ComPtr<IZevXMLHttpRequest> request)
      : m_request(std::move(request)) {}

  IZevXMLHttpRequest* operator->() const { return m_request.Get(); }
  void Reset() { m_request.Reset(); }

  HRESULT Open(const std::wstring& url, bool async = true);
  // POST to /zev-cgi-bin/<segment>/query.
  HRESULT OpenService(const std::wstring& segment, bool async = true);
  // A form body whose json field is the given (already percent-encoded) text.
  HRESULT Send(const std::wstring& json);
  long ReadyState();
  std::wstring ResponseText();

  // Waits, pumping messages, until the object has no exchange in flight.
  // Reading the response first re-arms the object, so that a probing open
  // with a malformed URL is refused (0xE00D000D) only while the exchange is
  // still pending; once it is not, the probe fails on the URL after
  // resetting the request, which leaves readyState as the exchange left it.
  bool WaitUntilExchangeEnded();

 private:
  Microsoft::WRL::ComPtr<IZevXMLHttpRequest> m_request;
};

}  // namespace zx::test
