#include "request/zev_xml_http_request.h"

#include <algorithm>
#include <new>
#include <utility>

#include "com/com_boundary.h"
#include "health/repair_tool.h"
#include "health/service_health.h"
#include "protocol/code_page.h"
#include "protocol/error_code.h"
#include "protocol/form_value.h"
#include "protocol/request_frame.h"
#include "protocol/request_url.h"
#include "protocol/result_codes.h"
#include "protocol/wide_to_int.h"
#include "request/callback_window.h"
#include "request/ready_state.h"
#include "transport/sync_pipe_client.h"

namespace zx {
namespace {

constexpr long kFixedStatus = 200;
constexpr unsigned short kServicePort = 9922;

std::wstring FromBstr(BSTR text) {
  return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

std::u16string_view AsUtf16(const std::wstring& text) {
  return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

// Scripts pass true as -1, false as 0 and numbers as they are: only the
// low 16 bits of the value decide, whatever the VARIANT's type.
LONG AsyncFlagOf(const VARIANT& value) { return static_cast<SHORT>(value.iVal); }

// Whether the reply's error_code says the service lost its connection. Only
// the few bytes of the value are decoded, never the whole reply.
bool ReportsLostConnection(std::string_view reply) {
  const std::optional<std::string_view> value = FindReplyErrorCodeBytes(reply);
  if (!value) return false;
  UniqueBstr text;
  if (FAILED(Utf8ToBstr(*value, text))) return false;
  const auto* units = reinterpret_cast<const char16_t*>(text.Get());
  return IsLostConnectionCode(WideToInt({units, SysStringLen(text.Get())}));
}

}  // namespace

HRESULT CreateZevXMLHttpRequest(IUnknown* outer, REFIID riid, void** ppv) {
  return CreateComObject<ZevXMLHttpRequest>(outer, riid, ppv);
}

ZevXMLHttpRequest::ZevXMLHttpRequest(IUnknown* outer)
    : ComClass(outer), m_monitoredServices(BuildMonitoredServices()) {}

// The workers go first: until they have stopped they may use every field.
ZevXMLHttpRequest::~ZevXMLHttpRequest() { m_transport.Shutdown(); }

void* ZevXMLHttpRequest::FindInterface(REFIID riid) {
  return FindClassInterface<IZevXMLHttpRequest>(this, riid);
}

// --- open ---------------------------------------------------------------

STDMETHODIMP ZevXMLHttpRequest::open(BSTR bstrMethod, BSTR bstrUrl, VARIANT varAsync, VARIANT,
                                     VARIANT) {
  if (!m_siteLock.Allows()) return E_ACCESSDENIED;
  if (!m_bReadyForOpen) return result::kBusy;
  {
    CriticalSectionGuard guard(m_stateLock);
    if (!m_bReadyForOpen) return result::kBusy;
  }
  if (!ClaimBusy()) return result::kBusy;
  HRESULT hr = NoThrow([&] {
    return OpenRequest(FromBstr(bstrMethod), FromBstr(bstrUrl), AsyncFlagOf(varAsync) != 0);
  });
  ReleaseBusy();
  return hr;
}

HRESULT ZevXMLHttpRequest::OpenRequest(const std::wstring& method, const std::wstring& url,
                                       bool async) {
  // Resetting now would close the pipe and clear the response under the
  // workers of an exchange still in flight.
  if (ExchangeInFlight()) return result::kBusy;
  ResetRequest();
  m_strMethod = method;
  m_strPath = url;
  m_bAsync = async;
  RequestUrlParts parts;
  if (SplitRequestUrl(AsUtf16(url), parts) != result::kOk) return result::kBadRequest;
  if (m_strMethod == L"GET") {
    // The query is still attached here: a GET carries its JSON in the URL.
    HRESULT hr = TakeJsonFromForm(std::wstring(parts.afterPrefix.begin(), parts.afterPrefix.end()));
    if (FAILED(hr)) return hr;
  } else if (m_strMethod != L"POST") {
    return result::kBadRequest;
  }
  std::wstring service(parts.service.begin(), parts.service.end());
  m_strPath.assign(parts.path.begin(), parts.path.end());
  HRESULT hr = m_pipeNames.Lookup(service, m_strPipePath);
  if (FAILED(hr)) return hr;
  if (m_bAsync) {
    hr = ConnectAsynchronously();
    if (hr != S_OK) return hr;
  }
  NotifyReadyState(ready_state::kOpened, TRUE);
  m_bOpened = TRUE;
  return S_OK;
}

void ZevXMLHttpRequest::ResetRequest() {
  m_bOpened = FALSE;
  m_strRequestJson.clear();
  {
    CriticalSectionGuard guard(m_notifyLock);
    m_strResponse.reset();
  }
  SetHandler(m_spOnReadyStateChange, nullptr);
}

HRESULT ZevXMLHttpRequest::ConnectAsynchronously() {
  HRESULT hr = m_transport.Connect(m_strPipePath);
  if (hr == result::kAsyncNoPipeInstance) NotifyReadyState(ready_state::kDisconnected, TRUE);
  return hr;
}

// --- send ---------------------------------------------------------------

STDMETHODIMP ZevXMLHttpRequest::send(VARIANT varBody) {
  if (!m_siteLock.Allows()) return E_ACCESSDENIED;
  if (!ClaimBusy()) return result::kBusy;
  HRESULT hr = NoThrow([&] { return SendRequest(varBody); });
  ReleaseBusy();
  return hr;
}

HRESULT ZevXMLHttpRequest::SendRequest(const VARIANT& body) {
  if (!m_bOpened) return result::kSendWithoutOpen;
  HRESULT hr = TakeJsonFromBody(body);
  if (FAILED(hr)) return hr;
  if (m_bAsync) PrepareCallbackThread();
  NotifyReadyState(ready_state::kSending, TRUE);
  hr = m_bAsync ? SendAsynchronously() : SendSynchronously();
  if (FAILED(hr)) return hr;
  {
    CriticalSectionGuard guard(m_stateLock);
    m_bReadyForOpen = FALSE;
  }
  m_bOpened = FALSE;
  return S_OK;
}

// A string body is form data whose json field replaces what a GET found;
// any other body keeps the JSON the object already has.
HRESULT ZevXMLHttpRequest::TakeJsonFromBody(const VARIANT& body) {
  if (V_VT(&body) != VT_BSTR) return S_OK;
  return TakeJsonFromForm(FromBstr(V_BSTR(&body)));
}

HRESULT ZevXMLHttpRequest::TakeJsonFromForm(const std::wstring& form) {
  std::string formUtf8;
  HRESULT hr = Utf16ToUtf8(form.c_str(), formUtf8);
  if (FAILED(hr)) return hr;
  std::optional<std::string> json = FindJsonFormValue(formUtf8);
  if (!json) return result::kBadRequest;
  m_strRequestJson = std::move(*json);
  return S_OK;
}

HRESULT ZevXMLHttpRequest::SendSynchronously() {
  std::string pathText;
  HRESULT hr = Utf16ToThreadAnsi(m_strPath.c_str(), pathText);
  if (FAILED(hr)) return hr;
  SyncPipeClient client;
  std::string reply;
  hr = Transact(client, m_strPipePath, pathText, m_strRequestJson, reply);
  if (hr == result::kSyncNoPipeInstance || hr == result::kSyncWriteFailed ||
      hr == result::kSyncReadFailed) {
    NotifyReadyState(ready_state::kDisconnected, TRUE);
  }
  if (FAILED(hr)) return hr;
  auto response = std::make_shared<const std::string>(std::move(reply));
  {
    CriticalSectionGuard guard(m_notifyLock);
    m_strResponse = std::move(response);
  }
  NotifyReadyState(ready_state::kComplete, TRUE);
  return S_OK;
}

// Without a window the exchange still runs; its handlers are just not called.
void ZevXMLHttpRequest::PrepareCallbackThread() {
  CallbackWindowRegistry::Instance().EnsureThreadWindow();
  CriticalSectionGuard guard(m_notifyLock);
  m_dwCallbackThreadId = GetCurrentThreadId();
}

// The workers finish the exchange; a write that cannot even start is a lost
// connection.
HRESULT ZevXMLHttpRequest::SendAsynchronously() {
  std::string pathText;
  HRESULT hr = Utf16ToThreadAnsi(m_strPath.c_str(), pathText);
  if (FAILED(hr)) return hr;
  std::string frame;
  if (!BuildRequestFrame(pathText, m_strRequestJson, frame)) return result::kNoMemoryForContext;
  SetExchangeInFlight(TRUE);
  hr = m_transport.StartExchange(std::move(frame));
  if (hr == S_OK) return S_OK;
  SetExchangeInFlight(FALSE);
  if (hr == result::kStartWriteFailed) NotifyReadyState(ready_state::kDisconnected, TRUE);
  return hr;
}

// --- abort --------------------------------------------------------------

// Ends an asynchronous exchange still in flight, the page's way of giving up
// on a slow service: no handler runs for it and the object can be opened
// again. Without one there is nothing to end.
STDMETHODIMP ZevXMLHttpRequest::abort() {
  if (!ExchangeInFlight()) return S_OK;
  if (!ClaimBusy()) return result::kBusy;
  const HRESULT hr = AbortExchange();
  ReleaseBusy();
  return hr;
}

// An exchange whose cancelled I/O does not come back in time is still in
// flight and the object stays busy (kBusy); a later abort re-arms it
// once the completion has been collected.
HRESULT ZevXMLHttpRequest::AbortExchange() {
  if (!m_transport.AbortExchanges()) return result::kBusy;
  SetExchangeInFlight(FALSE);
  CriticalSectionGuard guard(m_stateLock);
  m_bReadyForOpen = TRUE;
  return S_OK;
}

bool ZevXMLHttpRequest::ExchangeInFlight() {
  CriticalSectionGuard guard(m_notifyLock);
  return m_bExchangeInFlight;
}

void ZevXMLHttpRequest::SetExchangeInFlight(BOOL inFlight) {
  CriticalSectionGuard guard(m_notifyLock);
  m_bExchangeInFlight = inFlight;
}

// --- response -----------------------------------------------------------

STDMETHODIMP ZevXMLHttpRequest::get_responseText(BSTR* pbstrBody) {
  if (!pbstrBody) return E_POINTER;
  return NoThrow([&] { return ReadResponseText(pbstrBody); });
}

HRESULT ZevXMLHttpRequest::ReadResponseText(BSTR* pbstrBody) {
  const std::shared_ptr<const std::string> response = Response();
  const std::string_view bytes = response ? std::string_view(*response) : std::string_view();
  UniqueBstr text;
  const HRESULT hr = Utf8ToBstr(bytes, text);
  if (FAILED(hr)) return hr;
  *pbstrBody = text.Detach();
  if (ReportsLostConnection(bytes)) NotifyReadyState(ready_state::kDisconnected, TRUE);
  CriticalSectionGuard guard(m_stateLock);
  m_bReadyForOpen = TRUE;
  return S_OK;
}

std::shared_ptr<const std::string> ZevXMLHttpRequest::Response() {
  CriticalSectionGuard guard(m_notifyLock);
  return m_strResponse;
}

// The bytes and one zero byte after them, as pages have always seen it.
STDMETHODIMP ZevXMLHttpRequest::get_responseBody(VARIANT* pvarBody) {
  if (!pvarBody) return E_POINTER;
  const std::shared_ptr<const std::string> response = Response();
  const std::string_view bytes = response ? std::string_view(*response) : std::string_view();
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size() + 1));
  void* data = nullptr;
  if (array && SUCCEEDED(SafeArrayAccessData(array, &data))) {
    std::copy(bytes.begin(), bytes.end(), static_cast<char*>(data));
    static_cast<char*>(data)[bytes.size()] = '\0';
    SafeArrayUnaccessData(array);
  }
  V_VT(pvarBody) = VT_ARRAY | VT_UI1;
  V_ARRAY(pvarBody) = array;
  return S_OK;
}

// --- site -----------------------------------------------------------------

STDMETHODIMP ZevXMLHttpRequest::SetSite(IUnknown* site) {
  m_siteLock.Learn(site);
  return S_OK;
}

// --- notifications ------------------------------------------------------

// The call holds its own reference to the handler: a page may drop the
// handler inside it. Declared before the guard, the reference goes after the
// lock, as the setters release an old handler outside it.
void ZevXMLHttpRequest::NotifyReadyState(LONG state, BOOL fireNow) {
  Microsoft::WRL::ComPtr<IDispatch> handler;
  CriticalSectionGuard guard(m_notifyLock);
  if (state == m_lReadyState) return;
  m_lReadyState = state;
  if (!fireNow) return;
  if (state == ready_state::kDisconnected) {
    handler = m_spOnDisconnection;
  } else if (state == ready_state::kComplete) {
    handler = m_spOnReadyStateChange;
  }
  if (handler) InvokeScriptHandler(handler.Get());
}

void ZevXMLHttpRequest::OnReplyLengthKnown() noexcept {
  NotifyReadyState(ready_state::kLengthReceived, FALSE);
}

// Every way an exchange fails after send has returned reaches the page as
// readyState 5 and ondisconnection. Workers record the state without
// running script code: the handler goes to the callback thread's window.
// Its reference is taken only for a thread known to have a window, so that
// it is always dropped on the script's thread. Once the state is recorded
// the worker touches nothing of the object: the script may already be
// starting its next request.
void ZevXMLHttpRequest::OnExchangeEnded(ExchangeEnd end, std::string&& reply) noexcept {
  const LONG finalState =
      end == ExchangeEnd::kReplied ? ready_state::kComplete : ready_state::kDisconnected;
  const DWORD threadId = CallbackThreadId();
  const HWND window = CallbackWindowRegistry::Instance().FindThreadWindow(threadId);
  Microsoft::WRL::ComPtr<IDispatch> handler =
      RecordExchangeEnd(finalState, std::move(reply), window != nullptr);
  if (handler) PostScriptCallback(threadId, window, std::move(handler), finalState);
}

Microsoft::WRL::ComPtr<IDispatch> ZevXMLHttpRequest::RecordExchangeEnd(LONG finalState,
                                                                       std::string&& reply,
                                                                       bool takeHandler) noexcept {
  std::shared_ptr<const std::string> stored;
  if (finalState == ready_state::kComplete) {
    // Without memory for the holder the reply is lost: say so rather than
    // report a complete, empty response.
    try {
      stored = std::make_shared<const std::string>(std::move(reply));
    } catch (const std::bad_alloc&) {
      finalState = ready_state::kDisconnected;
    }
  }
  CriticalSectionGuard guard(m_notifyLock);
  m_bExchangeInFlight = FALSE;
  if (stored) m_strResponse = std::move(stored);
  NotifyReadyState(finalState, FALSE);
  if (!takeHandler) return nullptr;
  return finalState == ready_state::kComplete ? m_spOnReadyStateChange : m_spOnDisconnection;
}

DWORD ZevXMLHttpRequest::CallbackThreadId() {
  CriticalSectionGuard guard(m_notifyLock);
  return m_dwCallbackThreadId;
}

// The old handler is released outside the lock: its final release belongs
// to the script engine and may run arbitrary code.
void ZevXMLHttpRequest::SetHandler(Microsoft::WRL::ComPtr<IDispatch>& slot, IDispatch* handler) {
  Microsoft::WRL::ComPtr<IDispatch> old;
  CriticalSectionGuard guard(m_notifyLock);
  if (handler == slot.Get()) return;
  old.Swap(slot);
  slot = handler;
}

STDMETHODIMP ZevXMLHttpRequest::put_onreadystatechange(IDispatch* handler) {
  SetHandler(m_spOnReadyStateChange, handler);
  return S_OK;
}

STDMETHODIMP ZevXMLHttpRequest::put_ondisconnection(IDispatch* handler) {
  SetHandler(m_spOnDisconnection, handler);
  return S_OK;
}

// --- busy guard -----------------------------------------------------------

bool ZevXMLHttpRequest::ClaimBusy() {
  CriticalSectionGuard guard(m_stateLock);
  if (m_bBusy) return false;
  m_bBusy = TRUE;
  return true;
}

void ZevXMLHttpRequest::ReleaseBusy() {
  CriticalSectionGuard guard(m_stateLock);
  m_bBusy = FALSE;
}

// --- fixed answers --------------------------------------------------------

// Headers never reach the service, so there is nothing to keep.
STDMETHODIMP ZevXMLHttpRequest::setRequestHeader(BSTR, BSTR) { return S_OK; }
STDMETHODIMP ZevXMLHttpRequest::getResponseHeader(BSTR, BSTR*) { return E_NOTIMPL; }
STDMETHODIMP ZevXMLHttpRequest::getAllResponseHeaders(BSTR*) { return E_NOTIMPL; }

STDMETHODIMP ZevXMLHttpRequest::get_status(long* plStatus) {
  if (!plStatus) return E_POINTER;
  *plStatus = kFixedStatus;
  return S_OK;
}

STDMETHODIMP ZevXMLHttpRequest::get_statusText(BSTR* pbstrStatus) {
  if (!pbstrStatus) return E_POINTER;
  return CopyToOutBstr(L"200", pbstrStatus);
}

// No XML or stream view exists; the caller's value stays as it was.
STDMETHODIMP ZevXMLHttpRequest::get_responseXML(IDispatch**) { return S_OK; }
STDMETHODIMP ZevXMLHttpRequest::get_responseStream(VARIANT*) { return S_OK; }

STDMETHODIMP ZevXMLHttpRequest::get_readyState(long* plState) {
  if (!plState) return E_POINTER;
  *plState = m_lReadyState;
  return S_OK;
}

STDMETHODIMP ZevXMLHttpRequest::get_servicePort(unsigned short* psServicePort) {
  if (!psServicePort) return result::kBadRequest;
  *psServicePort = kServicePort;
  return S_OK;
}

STDMETHODIMP ZevXMLHttpRequest::get_isNeedFixConnection(VARIANT_BOOL* pbNeedFix) {
  if (!m_siteLock.Allows()) return E_ACCESSDENIED;
  if (!pbNeedFix) return E_INVALIDARG;
  return NoThrow([&] {
    *pbNeedFix = IsAnyServiceDown(m_monitoredServices) ? 1 : 0;
    return S_OK;
  });
}

STDMETHODIMP ZevXMLHttpRequest::get_fixConnection(long* plRetCode) {
  if (!m_siteLock.Allows()) return E_ACCESSDENIED;
  if (!plRetCode) return E_INVALIDARG;
  return NoThrow([&] {
    *plRetCode = FixConnection(m_monitoredServices);
    return S_OK;
  });
}

STDMETHODIMP ZevXMLHttpRequest::get_isOSVersionAfterVista(VARIANT_BOOL* pbIsVistaOrLatter) {
  if (!pbIsVistaOrLatter) return E_INVALIDARG;
  *pbIsVistaOrLatter = IsVistaOrLater() ? 1 : 0;  // 1, not VARIANT_TRUE
  return S_OK;
}

}  // namespace zx
