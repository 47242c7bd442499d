// Initialisation of each showing of the scan-path dialog.
#include "pickers/scan_path_dialog.h"

#include "pickers/button_faces.h"
#include "res/resource_ids.h"
#include "ui/module_state.h"
#include "ui/window_placement.h"

namespace zx {

void ScanPathDialog::OnInitDialog() {
  PlaceWindow();
  AttachControls();
  // Attached here, before the fill starts, so that every message the fill
  // sends already finds the tree object.
  if (!m_tree.Attach(GetDlgItem(Handle(), IDC_SCAN_TREE))) return;
  if (m_showFiles) m_tree.ShowFiles();
  m_fillThread.Start(m_tree);
}

void ScanPathDialog::PlaceWindow() {
  if (!m_useDefaultPosition && MoveWindowTo(Handle(), m_x, m_y, m_relativeToParent != 0)) return;
  CentreWindow(Handle());
}

void ScanPathDialog::AttachControls() {
  m_label.Attach(GetDlgItem(Handle(), IDC_SCAN_PROMPT));
  if (!m_subtitle.empty()) SetDlgItemTextW(Handle(), IDC_SCAN_PROMPT, m_subtitle.c_str());
  // Otherwise the frame shows the window text it took when the font was set.
  if (!m_caption.empty()) SetCaptionText(m_caption);
  // Every showing gets the skinned buttons, from the faces made at the first.
  if (!PrepareButtonFaces()) return;
  AttachButton(m_okButton, IDOK);
  AttachButton(m_cancelButton, IDCANCEL);
}

// Made once per object; false (plain buttons) when a face cannot be loaded.
bool ScanPathDialog::PrepareButtonFaces() {
  if (m_buttonFacesReady) return true;
  UniqueImageList okFaces(CreateButtonFaceList(ResourceInstance(), kOkFaceBitmaps));
  UniqueImageList cancelFaces(CreateButtonFaceList(ResourceInstance(), kCancelFaceBitmaps));
  if (!okFaces || !cancelFaces) return false;
  m_okButton.SetImageList(okFaces.Detach());
  m_okButton.SetFaceIndices(kButtonFaceIndices);
  m_cancelButton.SetImageList(cancelFaces.Detach());
  m_cancelButton.SetFaceIndices(kButtonFaceIndices);
  m_buttonFacesReady = true;
  return true;
}

// Sized to its faces while attaching, hover mode afterwards.
void ScanPathDialog::AttachButton(SkinImageButton& button, int id) {
  button.SetExtendedStyle(SkinImageButton::kSizeToImage);
  button.Attach(GetDlgItem(Handle(), id));
  button.SetExtendedStyle(SkinImageButton::kHoverMode);
}

}  // namespace zx
