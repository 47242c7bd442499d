#include "pickers/zev_file_dialog.h"

namespace zx {

HRESULT CreateZevFileDialog(IUnknown* outer, REFIID riid, void** ppv) {
  return CreateComObject<ZevFileDialog>(outer, riid, ppv);
}

void* ZevFileDialog::FindInterface(REFIID riid) {
  return FindClassInterface<IZevFileDialog>(this, riid);
}

STDMETHODIMP ZevFileDialog::GetOpenFileName(BSTR, BSTR*) { return E_NOTIMPL; }

STDMETHODIMP ZevFileDialog::SetSite(IUnknown*) { return S_OK; }

}  // namespace zx
