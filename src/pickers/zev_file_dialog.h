#pragma once
// ZevFileDialog: the single-folder picker.
#include <windows.h>
#include <ocidl.h>

#include "com/com_object.h"
#include "com/dispatch_impl.h"
#include "res/zxmlhttp_idl.h"
#include "sitelock/site_lock.h"

namespace zx {

HRESULT CreateZevFileDialog(IUnknown* outer, REFIID riid, void** ppv);

class ZevFileDialog final : public ComClass<DispatchImpl<IZevFileDialog>, IObjectWithSite> {
 public:
  explicit ZevFileDialog(IUnknown* outer) : ComClass(outer) {}

  STDMETHODIMP GetOpenFileName(BSTR bstrTitle, BSTR* pvarFile) override;

  STDMETHODIMP SetSite(IUnknown* site) override;
  STDMETHODIMP GetSite(REFIID, void**) override { return E_NOTIMPL; }

 private:
  ~ZevFileDialog() override = default;
  void* FindInterface(REFIID riid) override;

  // The page's window, learnt from the site; owns the browse dialog.
  HWND m_hOwner = nullptr;
  // Whether the hosting page may show the picker.
  SiteLock m_siteLock;
};

}  // namespace zx
