#pragma once
// A page host's site as the objects see it: a service provider that may
// offer the browser, which tells the page's address, and the shell browser,
// whose window owns the pickers' dialogs.
#include <windows.h>
#include <exdisp.h>
#include <ocidl.h>
#include <oleidl.h>
#include <servprov.h>
#include <shlguid.h>
#include <shobjidl.h>
#include <wrl/client.h>

namespace zx::test {

// A page of the suite on this machine.
inline constexpr wchar_t kLocalSuitePage[] =
    L"file:///C:/Program%20Files/Velmora/Zev/status.html";

// IUnknown for a fake with the given interfaces: Self::Find names what it
// answers, and the fake deletes itself with its last reference.
template <class Self, class... Interfaces>
class Fake : public Interfaces... {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    *ppv = static_cast<Self*>(this)->Find(riid);
    if (*ppv) AddRef();
    return *ppv ? S_OK : E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG refs = --m_refs;
    if (refs == 0) delete static_cast<Self*>(this);
    return refs;
  }

 private:
  ULONG m_refs = 1;
};

#define ZX_NONE(method, ...) STDMETHODIMP method(__VA_ARGS__) override { return E_NOTIMPL; }
#define ZX_NO_PROPERTY(name, type) ZX_NONE(get_##name, type*) ZX_NONE(put_##name, type)

// The browser showing the page: only its address answers.
class FakeBrowser final : public Fake<FakeBrowser, IWebBrowser2> {
 public:
  explicit FakeBrowser(const wchar_t* location) : m_location(location) {}

  // The objects only take it from QueryService.
  void* Find(REFIID riid) {
    const bool known = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IWebBrowser2);
    return known ? static_cast<IWebBrowser2*>(this) : nullptr;
  }

  STDMETHODIMP get_LocationURL(BSTR* location) override {
    if (!m_location) return E_FAIL;
    *location = SysAllocString(m_location);
    return *location ? S_OK : E_OUTOFMEMORY;
  }

  // clang-format off
  ZX_NONE(GetTypeInfoCount, UINT*) ZX_NONE(GetTypeInfo, UINT, LCID, ITypeInfo**)
  ZX_NONE(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
  ZX_NONE(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
  ZX_NONE(GoBack) ZX_NONE(GoForward) ZX_NONE(GoHome) ZX_NONE(GoSearch) ZX_NONE(Refresh)
  ZX_NONE(Stop) ZX_NONE(Quit) ZX_NONE(Refresh2, VARIANT*) ZX_NONE(ClientToWindow, int*, int*)
  ZX_NONE(Navigate, BSTR, VARIANT*, VARIANT*, VARIANT*, VARIANT*)
  ZX_NONE(Navigate2, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*)
  ZX_NONE(ShowBrowserBar, VARIANT*, VARIANT*, VARIANT*) ZX_NONE(QueryStatusWB, OLECMDID, OLECMDF*)
  ZX_NONE(ExecWB, OLECMDID, OLECMDEXECOPT, VARIANT*, VARIANT*)
  ZX_NONE(PutProperty, BSTR, VARIANT) ZX_NONE(GetProperty, BSTR, VARIANT*)
  ZX_NONE(get_Application, IDispatch**) ZX_NONE(get_Parent, IDispatch**)
  ZX_NONE(get_Container, IDispatch**) ZX_NONE(get_Document, IDispatch**)
  ZX_NONE(get_TopLevelContainer, VARIANT_BOOL*) ZX_NONE(get_Busy, VARIANT_BOOL*)
  ZX_NONE(get_Type, BSTR*) ZX_NONE(get_LocationName, BSTR*) ZX_NONE(get_Name, BSTR*)
  ZX_NONE(get_FullName, BSTR*) ZX_NONE(get_Path, BSTR*) ZX_NONE(get_HWND, SHANDLE_PTR*)
  ZX_NONE(get_ReadyState, READYSTATE*)
  ZX_NO_PROPERTY(Left, LONG) ZX_NO_PROPERTY(Top, LONG) ZX_NO_PROPERTY(Width, LONG)
  ZX_NO_PROPERTY(Height, LONG) ZX_NO_PROPERTY(StatusText, BSTR) ZX_NO_PROPERTY(ToolBar, int)
  ZX_NO_PROPERTY(Visible, VARIANT_BOOL) ZX_NO_PROPERTY(StatusBar, VARIANT_BOOL)
  ZX_NO_PROPERTY(MenuBar, VARIANT_BOOL) ZX_NO_PROPERTY(FullScreen, VARIANT_BOOL)
  ZX_NO_PROPERTY(Offline, VARIANT_BOOL) ZX_NO_PROPERTY(Silent, VARIANT_BOOL)
  ZX_NO_PROPERTY(RegisterAsBrowser, VARIANT_BOOL) ZX_NO_PROPERTY(RegisterAsDropTarget, VARIANT_BOOL)
  ZX_NO_PROPERTY(TheaterMode, VARIANT_BOOL) ZX_NO_PROPERTY(AddressBar, VARIANT_BOOL)
  ZX_NO_PROPERTY(Resizable, VARIANT_BOOL)
  // clang-format on

 private:
  const wchar_t* m_location;
};

#undef ZX_NO_PROPERTY
#undef ZX_NONE

class FakeSite final : public Fake<FakeSite, IServiceProvider, IOleWindow> {
 public:
  struct Offer {
    bool browser = true;
    // The browser's page address; null: asking for it fails.
    const wchar_t* location = kLocalSuitePage;
    bool shellBrowser = true;
    // Null: the shell browser's GetWindow fails.
    HWND window = nullptr;
  };

  explicit FakeSite(const Offer& offer) : m_offer(offer) {}

  void* Find(REFIID riid) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IServiceProvider)) {
      return static_cast<IServiceProvider*>(this);
    }
    return IsEqualIID(riid, IID_IOleWindow) ? static_cast<IOleWindow*>(this) : nullptr;
  }

  STDMETHODIMP QueryService(REFGUID service, REFIID riid, void** ppv) override {
    *ppv = nullptr;
    const bool browser = IsEqualIID(riid, IID_IWebBrowser) || IsEqualIID(riid, IID_IWebBrowser2);
    if (m_offer.browser && IsEqualGUID(service, SID_SWebBrowserApp) && browser) {
      *ppv = static_cast<IWebBrowser2*>(new FakeBrowser(m_offer.location));
    } else if (m_offer.shellBrowser && IsEqualGUID(service, SID_SShellBrowser) &&
               IsEqualIID(riid, IID_IOleWindow)) {
      *ppv = static_cast<IOleWindow*>(this);
      AddRef();
    }
    return *ppv ? S_OK : E_NOINTERFACE;
  }

  STDMETHODIMP GetWindow(HWND* window) override {
    *window = m_offer.window;
    return m_offer.window ? S_OK : E_FAIL;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

 private:
  Offer m_offer;
};

// Gives object a site made from offer, as a page's host does; null takes
// its site away.
inline HRESULT GiveSite(IUnknown* object, const FakeSite::Offer* offer) {
  Microsoft::WRL::ComPtr<IObjectWithSite> withSite;
  const HRESULT hr = object->QueryInterface(IID_PPV_ARGS(&withSite));
  if (FAILED(hr)) return hr;
  Microsoft::WRL::ComPtr<FakeSite> site;
  if (offer) *site.ReleaseAndGetAddressOf() = new FakeSite(*offer);  // adopts its first reference
  return withSite->SetSite(static_cast<IServiceProvider*>(site.Get()));
}

}  // namespace zx::test
