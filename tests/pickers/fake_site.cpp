#include "fake_site.h"

#include <exdisp.h>
#include <shlguid.h>
#include <shobjidl.h>

namespace zx::test {

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

// The browser itself is never called, only released: any interface does.
STDMETHODIMP FakeSite::QueryService(REFGUID service, REFIID riid, void** ppv) {
  ++m_queries;
  *ppv = nullptr;
  const bool browser =
      IsEqualGUID(service, SID_SWebBrowserApp) && IsEqualIID(riid, IID_IWebBrowser);
  const bool shellBrowser =
      IsEqualGUID(service, SID_SShellBrowser) && IsEqualIID(riid, IID_IOleWindow);
  if ((browser && m_offer.browser) || (shellBrowser && m_offer.shellBrowser)) {
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
