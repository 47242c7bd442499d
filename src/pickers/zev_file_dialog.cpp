#include "pickers/zev_file_dialog.h"

#include "com/com_boundary.h"
#include "pickers/browse_for_folder.h"
#include "pickers/site_owner_window.h"

namespace zx {

HRESULT CreateZevFileDialog(IUnknown* outer, REFIID riid, void** ppv) {
  return CreateComObject<ZevFileDialog>(outer, riid, ppv);
}

void* ZevFileDialog::FindInterface(REFIID riid) {
  return FindClassInterface<IZevFileDialog>(this, riid);
}

STDMETHODIMP ZevFileDialog::GetOpenFileName(BSTR bstrTitle, BSTR* pvarFile) {
  if (!m_siteLock.Allows()) return E_ACCESSDENIED;
  if (!pvarFile) return E_POINTER;
  return BrowseForFolder(m_hOwner, bstrTitle, pvarFile);
}

STDMETHODIMP ZevFileDialog::SetSite(IUnknown* site) {
  LearnOwnerWindow(site, m_hOwner);
  m_siteLock.Learn(site);
  return S_OK;
}

}  // namespace zx
