#include "pickers/zev_multi_file_dialog.h"

#include <optional>

#include "com/com_boundary.h"
#include "common/win_resources.h"
#include "pickers/site_owner_window.h"

namespace zx {
namespace {

// A coordinate as a script passes it: any number type or numeric text.
// Nothing when it is missing (empty, or an omitted argument) or no number.
std::optional<int> CoordinateOf(VARIANT& value) {
  if (V_VT(&value) == VT_EMPTY || V_VT(&value) == VT_ERROR) return std::nullopt;
  UniqueVariant number;
  if (FAILED(VariantChangeType(number.Put(), &value, 0, VT_I4))) return std::nullopt;
  return V_I4(&number.Get());
}

}  // namespace

HRESULT CreateZevMultiFileDialog(IUnknown* outer, REFIID riid, void** ppv) {
  return CreateComObject<ZevMultiFileDialog>(outer, riid, ppv);
}

ZevMultiFileDialog::ZevMultiFileDialog(IUnknown* outer) : ComClass(outer) {
  m_dialog.SetCustomFrame(true);
}

void* ZevMultiFileDialog::FindInterface(REFIID riid) {
  return FindClassInterface<IZevMultiFileDialog>(this, riid);
}

// colorDialog is accepted and ignored.
STDMETHODIMP ZevMultiFileDialog::GetOpenFileNameEx(VARIANT_BOOL bNotUseDefaultView,
                                                   BSTR bstrCaption, BSTR bstrSubtitle, OLE_COLOR,
                                                   BSTR* pbstrPaths) {
  if (!m_siteLock.Allows()) return E_ACCESSDENIED;
  return NoThrow(
      [&] { return ShowDialog(bNotUseDefaultView, bstrCaption, bstrSubtitle, pbstrPaths); });
}

// Without a usable position the dialog is centred, as when none is given;
// colorDialog and nReserved are ignored.
STDMETHODIMP ZevMultiFileDialog::GetOpenFileNameEx2(VARIANT_BOOL bNotUseDefaultView,
                                                    BSTR bstrCaption, BSTR bstrSubtitle, OLE_COLOR,
                                                    VARIANT nX, VARIANT nY,
                                                    VARIANT_BOOL bRelativeParent, VARIANT,
                                                    BSTR* pbstrPaths) {
  // Refused before the position is kept for later showings.
  if (!m_siteLock.Allows()) return E_ACCESSDENIED;
  const std::optional<int> x = CoordinateOf(nX), y = CoordinateOf(nY);
  if (x && y) {
    m_dialog.SetExplicitPosition(*x, *y, static_cast<WORD>(bRelativeParent));
  } else {
    m_dialog.UseDefaultPosition();
  }
  return NoThrow(
      [&] { return ShowDialog(bNotUseDefaultView, bstrCaption, bstrSubtitle, pbstrPaths); });
}

STDMETHODIMP ZevMultiFileDialog::SetSite(IUnknown* site) {
  LearnOwnerWindow(site, m_hOwner);
  m_siteLock.Learn(site);
  return S_OK;
}

// S_OK with the result text; S_FALSE, *paths untouched, for every other end.
HRESULT ZevMultiFileDialog::ShowDialog(VARIANT_BOOL showFiles, BSTR caption, BSTR subtitle,
                                       BSTR* paths) {
  if (!paths) return E_POINTER;
  if (showFiles) m_dialog.ShowFiles();
  if (caption) m_dialog.SetCaption(caption);
  if (subtitle) m_dialog.SetSubtitle(subtitle);
  if (m_dialog.Show(m_hOwner) != IDOK || m_dialog.Result().empty()) return S_FALSE;
  return CopyToOutBstr(m_dialog.Result(), paths);
}

}  // namespace zx
