#pragma once
// ZevMultiFileDialog: the scan-path dialog with its check-box shell tree.
#include <windows.h>
#include <ocidl.h>

#include "com/com_object.h"
#include "com/dispatch_impl.h"
#include "pickers/scan_path_dialog.h"
#include "res/zxmlhttp_idl.h"
#include "sitelock/site_lock.h"

namespace zx {

HRESULT CreateZevMultiFileDialog(IUnknown* outer, REFIID riid, void** ppv);

class ZevMultiFileDialog final
    : public ComClass<DispatchImpl<IZevMultiFileDialog>, IObjectWithSite> {
 public:
  explicit ZevMultiFileDialog(IUnknown* outer);

  STDMETHODIMP GetOpenFileNameEx(VARIANT_BOOL bNotUseDefaultView, BSTR bstrCaption,
                                 BSTR bstrSubtitle, OLE_COLOR colorDialog,
                                 BSTR* pbstrPaths) override;
  STDMETHODIMP GetOpenFileNameEx2(VARIANT_BOOL bNotUseDefaultView, BSTR bstrCaption,
                                  BSTR bstrSubtitle, OLE_COLOR colorDialog, VARIANT nX, VARIANT nY,
                                  VARIANT_BOOL bRelativeParent, VARIANT nReserved,
                                  BSTR* pbstrPaths) override;

  STDMETHODIMP SetSite(IUnknown* site) override;
  STDMETHODIMP GetSite(REFIID, void**) override { return E_NOTIMPL; }

 private:
  ~ZevMultiFileDialog() override = default;
  void* FindInterface(REFIID riid) override;
  HRESULT ShowDialog(VARIANT_BOOL showFiles, BSTR caption, BSTR subtitle, BSTR* paths);

  // The page's window, learnt from the site; owns the dialog.
  HWND m_hOwner = nullptr;
  // Whether the hosting page may show the dialog.
  SiteLock m_siteLock;
  // Serves every call; keeps the settings between them.
  ScanPathDialog m_dialog;
};

}  // namespace zx
