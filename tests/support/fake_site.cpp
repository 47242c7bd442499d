#include "support/fake_site.h"

#include <exdisp.h>
#include <shlguid.h>
#include <shobjidl.h>


namespace zx::test {
namespace {

#define ZX_NOT_IMPLEMENTED(method, ...) \
  STDMETHODIMP method(__VA_ARGS__) override { return E_NOTIMPL; }

// The browser showing the page: only its address answers.
class FakeBrowser final : public IWebBrowser2 {
 public:
  explicit FakeBrowser(const wchar_t* location) : m_location(location) {}

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    const bool known = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
                       IsEqualIID(riid, IID_IWebBrowser) || IsEqualIID(riid, IID_IWebBrowserApp) ||
                       IsEqualIID(riid, IID_IWebBrowser2);
    *ppv = known ? static_cast<IWebBrowser2*>(this) : nullptr;
    if (!known) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG refs = --m_refs;
    if (refs == 0) delete this;
    return refs;
  }

  STDMETHODIMP get_LocationURL(BSTR* location) override {
    if (!m_location) return E_FAIL;
    *location = SysAllocString(m_location);
    return *location ? S_OK : E_OUTOFMEMORY;
  }

  ZX_NOT_IMPLEMENTED(GetTypeInfoCount, UINT*)
  ZX_NOT_IMPLEMENTED(GetTypeInfo, UINT, LCID, ITypeInfo**)
  ZX_NOT_IMPLEMENTED(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
  ZX_NOT_IMPLEMENTED(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
  ZX_NOT_IMPLEMENTED(GoBack)
  ZX_NOT_IMPLEMENTED(GoForward)
  ZX_NOT_IMPLEMENTED(GoHome)
  ZX_NOT_IMPLEMENTED(GoSearch)
  ZX_NOT_IMPLEMENTED(Navigate, BSTR, VARIANT*, VARIANT*, VARIANT*, VARIANT*)
  ZX_NOT_IMPLEMENTED(Refresh)
  ZX_NOT_IMPLEMENTED(Refresh2, VARIANT*)
  ZX_NOT_IMPLEMENTED(Stop)
  ZX_NOT_IMPLEMENTED(get_Application, IDispatch**)
  ZX_NOT_IMPLEMENTED(get_Parent, IDispatch**)
  ZX_NOT_IMPLEMENTED(get_Container, IDispatch**)
  ZX_NOT_IMPLEMENTED(get_Document, IDispatch**)
  ZX_NOT_IMPLEMENTED(get_TopLevelContainer, VARIANT_BOOL*)
  ZX_NOT_IMPLEMENTED(get_Type, BSTR*)
  ZX_NOT_IMPLEMENTED(get_Left, LONG*)
  ZX_NOT_IMPLEMENTED(put_Left, LONG)
  ZX_NOT_IMPLEMENTED(get_Top, LONG*)
  ZX_NOT_IMPLEMENTED(put_Top, LONG)
  ZX_NOT_IMPLEMENTED(get_Width, LONG*)
  ZX_NOT_IMPLEMENTED(put_Width, LONG)
  ZX_NOT_IMPLEMENTED(get_Height, LONG*)
  ZX_NOT_IMPLEMENTED(put_Height, LONG)
  ZX_NOT_IMPLEMENTED(get_LocationName, BSTR*)
  ZX_NOT_IMPLEMENTED(get_Busy, VARIANT_BOOL*)
  ZX_NOT_IMPLEMENTED(Quit)
  ZX_NOT_IMPLEMENTED(ClientToWindow, int*, int*)
  ZX_NOT_IMPLEMENTED(PutProperty, BSTR, VARIANT)
  ZX_NOT_IMPLEMENTED(GetProperty, BSTR, VARIANT*)
  ZX_NOT_IMPLEMENTED(get_Name, BSTR*)
  ZX_NOT_IMPLEMENTED(get_HWND, SHANDLE_PTR*)
  ZX_NOT_IMPLEMENTED(get_FullName, BSTR*)
  ZX_NOT_IMPLEMENTED(get_Path, BSTR*)
  ZX_NOT_IMPLEMENTED(get_Visible, VARIANT_BOOL*)
  ZX_NOT_IMPLEMENTED(put_Visible, VARIANT_BOOL)
  ZX_NOT_IMPLEMENTED(get_StatusBar, VARIANT_BOOL*)
  ZX_NOT_IMPLEMENTED(put_StatusBar, VARIANT_BOOL)
  ZX_NOT_IMPLEMENTED(get_StatusText, BSTR*)
  ZX_NOT_IMPLEMENTED(put_StatusText, BSTR)
  ZX_NOT_IMPLEMENTED(get_ToolBar, int*)
  ZX_NOT_IMPLEMENTED(put_ToolBar, int)
  ZX_NOT_IMPLEMENTED(get_MenuBar, VARIANT_BOOL*)
  ZX_NOT_IMPLEMENTED(put_MenuBar, VARIANT_BOOL)
  ZX_NOT_IMPLEMENTED(get_FullScreen, VARIANT_BOOL*)
  ZX_NOT_IMPLEMENTED(put_FullScreen, VARIANT_BOOL)
  ZX_NOT_IMPLEMENTED(Navigate2, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*)
  ZX_NOT_IMPLEMENTED(QueryStatusWB, OLECMDID, OLECMDF*)
  ZX_NOT_IMPLEMENTED(ExecWB, OLECMDID, OLECMDEXECOPT, VARIANT*, VARIANT*)
  ZX_NOT_IMPLEMENTED(ShowBrowserBar, VARIANT*, VARIANT*, VARIANT*)
  ZX_NOT_IMPLEMENTED(get_ReadyState, READYSTATE*)
  ZX_NOT_IMPLEMENTED(get_Offline, VARIANT_BOOL*)
  ZX_NOT_IMPLEMENTED(put_Offline, VARIANT_BOOL)
  ZX_NOT_IMPLEMENTED(get_Silent, VARIANT_BOOL*)
  ZX_NOT_IMPLEMENTED(put_Silent, VARIANT_BOOL)
  ZX_NOT_IMPLEMENTED(get_RegisterAsBrowser, VARIANT_BOOL*)
  ZX_NOT_IMPLEMENTED(put_RegisterAsBrowser, VARIANT_BOOL)
  ZX_NOT_IMPLEMENTED(get_RegisterAsDropTarget, VARIANT_BOOL*)
  ZX_NOT_IMPLEMENTED(put_RegisterAsDropTarget, VARIANT_BOOL)
  ZX_NOT_IMPLEMENTED(get_TheaterMode, VARIANT_BOOL*)
  ZX_NOT_IMPLEMENTED(put_TheaterMode, VARIANT_BOOL)
  ZX_NOT_IMPLEMENTED(get_AddressBar, VARIANT_BOOL*)
  ZX_NOT_IMPLEMENTED(put_AddressBar, VARIANT_BOOL)
  ZX_NOT_IMPLEMENTED(get_Resizable, VARIANT_BOOL*)
  ZX_NOT_IMPLEMENTED(put_Resizable, VARIANT_BOOL)

 private:
  ~FakeBrowser() = default;

  const wchar_t* m_location;
  ULONG m_refs = 1;
};

#undef ZX_NOT_IMPLEMENTED

bool IsBrowserInterface(REFIID riid) {
  return IsEqualIID(riid, IID_IWebBrowser) || IsEqualIID(riid, IID_IWebBrowser2);
}

}  // namespace

STDMETHODIMP FakeSite::QueryInterface(REFIID riid, void** ppv) {
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IServiceProvider)) {
    *ppv = static_cast<IServiceProvider*>(this);
  } else if (IsEqualIID(riid, IID_IOleWindow)) {
    *ppv = static_cast<IOleWindow*>(this);
  } else {
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) FakeSite::Release() {
  const ULONG refs = --m_refs;
  if (refs == 0) delete this;
  return refs;
}

STDMETHODIMP FakeSite::QueryService(REFGUID service, REFIID riid, void** ppv) {
  ++m_queries;
  *ppv = nullptr;
  if (m_offer.browser && IsEqualGUID(service, SID_SWebBrowserApp) && IsBrowserInterface(riid)) {
    *ppv = static_cast<IWebBrowser2*>(new FakeBrowser(m_offer.location));
    return S_OK;
  }
  if (m_offer.shellBrowser && IsEqualGUID(service, SID_SShellBrowser) &&
      IsEqualIID(riid, IID_IOleWindow)) {
    *ppv = static_cast<IOleWindow*>(this);
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

STDMETHODIMP FakeSite::GetWindow(HWND* window) {
  if (!m_offer.window) return E_FAIL;
  *window = m_offer.window;
  return S_OK;
}

}  // namespace zx::test
