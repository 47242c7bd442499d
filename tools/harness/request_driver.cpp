#include "harness/request_driver.h"

#include "common/win_resources.h"
#include "harness/dispatch_call.h"
#include "harness/message_pump.h"
#include "protocol/result_codes.h"

namespace zx::test {

HRESULT RequestDriver::Open(const std::wstring& url, bool async, const wchar_t* method) {
  UniqueBstr bstrMethod(SysAllocString(method)), bstrUrl(SysAllocString(url.c_str()));
  return m_request->open(bstrMethod.Get(), bstrUrl.Get(), variant::Flag(async), variant::Omitted(),
                         variant::Omitted());
}

HRESULT RequestDriver::OpenService(const std::wstring& segment, bool async) {
  return Open(L"http://localhost/zev-cgi-bin/" + segment + L"/query", async);
}

HRESULT RequestDriver::SendForm(const std::wstring& form) {
  UniqueVariant body;
  VARIANT* value = body.Put();
  V_VT(value) = VT_BSTR;
  V_BSTR(value) = SysAllocString(form.c_str());
  return m_request->send(body.Get());
}

HRESULT RequestDriver::SendNothing() { return m_request->send(variant::Omitted()); }

long RequestDriver::ReadyState() {
  long state = -1;
  m_request->get_readyState(&state);
  return state;
}

std::wstring RequestDriver::ResponseText() {
  UniqueBstr text;
  if (m_request->get_responseText(text.Put()) != S_OK || !text) return std::wstring();
  return std::wstring(text.Get(), SysStringLen(text.Get()));
}

bool RequestDriver::WaitUntilExchangeEnded() {
  ResponseText();
  return PumpMessagesUntil([this] { return Open(L"no-cgi-prefix") != result::kBusy; });
}

}  // namespace zx::test
