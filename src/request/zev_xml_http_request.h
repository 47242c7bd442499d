#pragma once
// ZevXMLHttpRequest: the scriptable request object. It looks like the
// browser's XMLHttpRequest but exchanges one frame with a local service
// over a named pipe, blocking or on the object's completion-port workers.
#include <windows.h>
#include <ocidl.h>

#include <memory>
#include <string>
#include <string_view>

#include <wrl/client.h>

#include "com/com_object.h"
#include "com/dispatch_impl.h"
#include "common/win_resources.h"
#include "health/service_table.h"
#include "res/zxmlhttp_idl.h"
#include "sitelock/site_lock.h"
#include "transport/async_exchange_sink.h"
#include "transport/async_pipe_transport.h"
#include "transport/pipe_name_lookup.h"

namespace zx {

HRESULT CreateZevXMLHttpRequest(IUnknown* outer, REFIID riid, void** ppv);

class ZevXMLHttpRequest final
    : public ComClass<DispatchImpl<IZevXMLHttpRequest>, IObjectWithSite, IAsyncExchangeSink> {
 public:
  explicit ZevXMLHttpRequest(IUnknown* outer);

  // IZevXMLHttpRequest
  STDMETHODIMP open(BSTR bstrMethod, BSTR bstrUrl, VARIANT varAsync, VARIANT bstrUser,
                    VARIANT bstrPassword) override;
  STDMETHODIMP setRequestHeader(BSTR bstrHeader, BSTR bstrValue) override;
  STDMETHODIMP getResponseHeader(BSTR bstrHeader, BSTR* pbstrValue) override;
  STDMETHODIMP getAllResponseHeaders(BSTR* pbstrHeaders) override;
  STDMETHODIMP send(VARIANT varBody) override;
  STDMETHODIMP abort() override;
  STDMETHODIMP get_status(long* plStatus) override;
  STDMETHODIMP get_statusText(BSTR* pbstrStatus) override;
  STDMETHODIMP get_responseXML(IDispatch** ppXML) override;
  STDMETHODIMP get_responseText(BSTR* pbstrBody) override;
  STDMETHODIMP get_responseBody(VARIANT* pvarBody) override;
  STDMETHODIMP get_responseStream(VARIANT* pvarBody) override;
  STDMETHODIMP get_readyState(long* plState) override;
  STDMETHODIMP put_onreadystatechange(IDispatch* handler) override;
  STDMETHODIMP get_servicePort(unsigned short* psServicePort) override;
  STDMETHODIMP put_ondisconnection(IDispatch* handler) override;
  STDMETHODIMP get_isNeedFixConnection(VARIANT_BOOL* pbNeedFix) override;
  STDMETHODIMP get_isOSVersionAfterVista(VARIANT_BOOL* pbIsVistaOrLatter) override;
  STDMETHODIMP get_fixConnection(long* plRetCode) override;

  // IObjectWithSite: the site tells only whether the page may use the object.
  STDMETHODIMP SetSite(IUnknown* site) override;
  STDMETHODIMP GetSite(REFIID, void**) override { return E_NOTIMPL; }

  // IAsyncExchangeSink: the workers' way back in.
  void OnReplyLengthKnown() noexcept override;
  void OnExchangeEnded(ExchangeEnd end, std::string&& reply) noexcept override;

 private:
  ~ZevXMLHttpRequest() override;
  void* FindInterface(REFIID riid) override;

  HRESULT OpenRequest(const std::wstring& method, const std::wstring& url, bool async);
  HRESULT SendRequest(const VARIANT& body);
  HRESULT TakeJsonFromBody(const VARIANT& body);
  HRESULT TakeJsonFromForm(const std::wstring& form);
  HRESULT SendSynchronously();
  HRESULT ConnectAsynchronously();
  void PrepareCallbackThread();
  HRESULT SendAsynchronously();
  HRESULT AbortExchange();
  bool ExchangeInFlight();
  void SetExchangeInFlight(BOOL inFlight);
  HRESULT ReadResponseText(BSTR* pbstrBody);
  std::shared_ptr<const std::string> Response();
  void ResetRequest();
  bool ClaimBusy();
  void ReleaseBusy();
  void SetHandler(Microsoft::WRL::ComPtr<IDispatch>& slot, IDispatch* handler);
  // Records state; with fireNow also calls the matching handler at once.
  void NotifyReadyState(LONG state, BOOL fireNow);
  DWORD CallbackThreadId();
  Microsoft::WRL::ComPtr<IDispatch> RecordExchangeEnd(LONG finalState, std::string&& reply,
                                                      bool takeHandler) noexcept;

  // Script handlers, under the notify lock: replaced by the put properties,
  // read by the notifier and by the workers that post them.
  Microsoft::WRL::ComPtr<IDispatch> m_spOnReadyStateChange;
  Microsoft::WRL::ComPtr<IDispatch> m_spOnDisconnection;
  std::wstring m_strPath;
  std::wstring m_strMethod;
  LONG m_bAsync = 0;
  // Written under the notify lock, read by the readyState getter without.
  volatile LONG m_lReadyState = 0;
  std::string m_strRequestJson;
  // Under the notify lock: a worker stores it while the script may read it.
  // Never changed in place, only replaced, so a reader takes a reference
  // under the lock and converts megabytes outside it.
  std::shared_ptr<const std::string> m_strResponse;
  // Under the notify lock: set by an asynchronous send, read by the workers.
  DWORD m_dwCallbackThreadId = 0;
  // Under the notify lock: from an asynchronous send until the workers'
  // EndExchange; open is refused meanwhile.
  BOOL m_bExchangeInFlight = FALSE;
  BOOL m_bReadyForOpen = TRUE;
  BOOL m_bOpened = FALSE;
  std::wstring m_strPipePath;
  // Reads the pipe name at every open, keeping the service's key open
  // between opens.
  PipeNameLookup m_pipeNames;
  // The asynchronous mode: the completion port and its workers, m_hPipe and
  // the exchanges in flight. The transport never calls back into this
  // object while holding one of its locks, so they may only ever nest
  // inside ours.
  AsyncPipeTransport m_transport{*this};
  // Guards m_lReadyState, m_strResponse, m_dwCallbackThreadId,
  // m_bExchangeInFlight and the two handler fields; held while an immediate
  // handler runs, so a handler may call back into methods that take the
  // state lock, the transport's locks or this one again.
  CriticalSection m_notifyLock;
  // Guards m_bReadyForOpen and m_bBusy; never held across other calls.
  CriticalSection m_stateLock;
  BOOL m_bBusy = FALSE;
  ServiceMap m_monitoredServices;
  // Whether the hosting page may open, send and repair.
  SiteLock m_siteLock;
};

}  // namespace zx
