#pragma once
// Driving a request object from a test the way a page script does.
#include <windows.h>
#include <wrl/client.h>

#include <string>
#include <utility>

#include "res/zxmlhttp_idl.h"

namespace zx::test {

inline constexpr HRESULT Code(unsigned long bits) { return static_cast<HRESULT>(bits); }

class RequestDriver {
 public:
  explicit RequestDriver(Microsoft::WRL::ComPtr<IZevXMLHttpRequest> request)
      : m_request(std::move(request)) {}

  IZevXMLHttpRequest* operator->() const { return m_request.Get(); }
  void Reset() { m_request.Reset(); }

  HRESULT Open(const std::wstring& url, bool async = true, const wchar_t* method = L"POST");
  // POST to /zev-cgi-bin/<segment>/query.
  HRESULT OpenService(const std::wstring& segment, bool async = true);
  // A form body whose json field is the given (already percent-encoded) text.
  HRESULT Send(const std::wstring& json) { return SendForm(L"json=" + json); }
  // A string body as it stands.
  HRESULT SendForm(const std::wstring& body);
  // No body at all, as send() without an argument.
  HRESULT SendNothing();
  long ReadyState();
  std::wstring ResponseText();

  // Waits, pumping messages, until the workers have ended the exchange, and
  // dispatches what they posted by then. A handler call is posted right
  // after the end: a test that needs it waits for the handler itself.
  // Reading the response first re-arms the object, so that a probing open
  // with a malformed URL is refused (kBusy) only while the exchange is still
  // in flight; after that the probe fails on the URL once it has reset the
  // request, which leaves readyState as the exchange left it.
  bool WaitUntilExchangeEnded();

 private:
  Microsoft::WRL::ComPtr<IZevXMLHttpRequest> m_request;
};

}  // namespace zx::test
