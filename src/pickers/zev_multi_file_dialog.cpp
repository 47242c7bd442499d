#include "pickers/zev_multi_file_dialog.h"

namespace zx {

HRESULT CreateZevMultiFileDialog(IUnknown* outer, REFIID riid, void** ppv) {
  return CreateComObject<ZevMultiFileDialog>(outer, riid, ppv);
}

void* ZevMultiFileDialog::FindInterface(REFIID riid) {
  return FindClassInterface<IZevMultiFileDialog>(this, riid);
}

STDMETHODIMP ZevMultiFileDialog::GetOpenFileNameEx(VARIANT_BOOL, BSTR, BSTR, OLE_COLOR, BSTR*) {
  return E_NOTIMPL;
}

STDMETHODIMP ZevMultiFileDialog::GetOpenFileNameEx2(VARIANT_BOOL, BSTR, BSTR, OLE_COLOR, VARIANT,
                                                    VARIANT, VARIANT_BOOL, VARIANT, BSTR*) {
  return E_NOTIMPL;
}

STDMETHODIMP ZevMultiFileDialog::SetSite(IUnknown*) { return S_OK; }

}  // namespace zx
