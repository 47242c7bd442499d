#include "harness/request_driver.h"

#include "common/win_resources.h"
#include "harness/message_pump.h"
#include "protocol/result_codes.h"

namespace zx::test {
namespace {

constexpr DWORD kHandlerPostGraceMs = 100;

}  // namespace

VARIANT BoolArgument(bool value) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BOOL;
  V_BOOL(&v) = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

VARIANT MissingArgument() {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_ERROR;
  V_ERROR(&v) = DISP_E_PARAMNOTFOUND;
  return v;
}

HRESULT RequestDriver::Open(const std::wstring& url, bool async, const wchar_t* method) {
  UniqueBstr bstrMethod(SysAllocString(method)), bstrUrl(SysAllocString(url.c_str()));
  return m_request->open(bstrMethod.Get(), bstrUrl.Get(), BoolArgument(async), MissingArgument(),
                         MissingArgument());
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

HRESULT RequestDriver::SendNothing() { return m_request->send(MissingArgument()); }

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
  const bool ended = PumpMessagesUntil([this] { return Open(L"no-cgi-prefix") != result::kBusy; });
  // The worker posts the handler call right after it ends the exchange:
  // give that message time to arrive, then dispatch it.
  PumpMessagesUntil([] { return false; }, kHandlerPostGraceMs);
  return ended;
}

}  // namespace zx::test
