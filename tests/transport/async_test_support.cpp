#include "async_test_support.h"

#include <algorithm>

#include "common/win_resources.h"

namespace zx::test {
namespace {

VARIANT Bool(bool value) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BOOL;
  V_BOOL(&v) = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

VARIANT Missing() {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_ERROR;
  V_ERROR(&v) = DISP_E_PARAMNOTFOUND;
  return v;
}

}  // namespace

void PumpPendingMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    PumpPendingMessages();
    if (done()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    // States change without a message, so look again now and then.
    const DWORD slice = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 5));
    MsgWaitForMultipleObjects(0, nullptr, FALSE, slice, QS_ALLINPUT);
  }
}

bool PollUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!done()) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(2);
  }
  return true;
}

std::vector<HWND> CallbackWindowsOf(DWORD threadId) {
  std::vector<HWND> windows;
  HWND window = nullptr;
  while ((window = FindWindowExW(HWND_MESSAGE, window, L"ZevXMLHttpRequestClass", nullptr))) {
    if (GetWindowThreadProcessId(window, nullptr) == threadId) windows.push_back(window);
  }
  return windows;
}

// GetProcessHandleCount answers 0 under Wine, so the handle table is probed
// instead: handle values are multiples of 4.
DWORD ProcessHandleCount() {
  constexpr ULONG_PTR kHighestProbed = 0x10000;
  DWORD count = 0;
  for (ULONG_PTR value = 4; value < kHighestProbed; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

HRESULT AsyncRequest::Open(const std::wstring& url, bool async) {
  UniqueBstr method(SysAllocString(L"POST")), bstrUrl(SysAllocString(url.c_str()));
  return m_request->open(method.Get(), bstrUrl.Get(), Bool(async), Missing(), Missing());
}

HRESULT AsyncRequest::OpenService(const std::wstring& segment, bool async) {
  return Open(L"http://localhost/zev-cgi-bin/" + segment + L"/query", async);
}

HRESULT AsyncRequest::Send(const std::wstring& json) {
  UniqueVariant body;
  VARIANT* value = body.Put();
  V_VT(value) = VT_BSTR;
  V_BSTR(value) = SysAllocString((L"json=" + json).c_str());
  return m_request->send(body.Get());
}

long AsyncRequest::ReadyState() {
  long state = -1;
  m_request->get_readyState(&state);
  return state;
}

std::wstring AsyncRequest::ResponseText() {
  UniqueBstr text;
  if (m_request->get_responseText(text.Put()) != S_OK || !text) return std::wstring();
  return std::wstring(text.Get(), SysStringLen(text.Get()));
}

bool AsyncRequest::WaitUntilExchangeEnded() {
  ResponseText();
  const bool ended =
      PumpMessagesUntil([this] { return Open(L"no-cgi-prefix") != Code(0xE00D000D); });
  PumpPendingMessages();  // what the exchange posted just before it ended
  return ended;
}

}  // namespace zx::test
