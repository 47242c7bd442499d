#pragma once
// ScanPathDialog: the skinned modal dialog (template 105) in which the user
// checks the locations to scan. One object serves every showing of its
// ZevMultiFileDialog: its settings, button faces and tree object stay from
// one showing to the next.
#include <windows.h>

#include <string>

#include "pickers/shell_check_tree.h"
#include "pickers/tree_fill_thread.h"
#include "ui/skin_frame.h"
#include "ui/skin_image_button.h"
#include "ui/skin_label.h"

namespace zx {

class ScanPathDialog : public SkinFrame {
 public:
  ScanPathDialog();

  // Settings for this and every later showing.
  void ShowFiles() { m_showFiles = true; }
  // Empty: the caption is the template's title again.
  void SetCaption(std::wstring caption) { m_caption = std::move(caption); }
  // Empty: the prompt keeps the template's text.
  void SetSubtitle(std::wstring subtitle) { m_subtitle = std::move(subtitle); }
  // Puts the top-left corner at (x, y) on the screen, or at that offset from
  // the parent's when relativeToParent is non-zero, instead of centring.
  void SetExplicitPosition(int x, int y, WORD relativeToParent);
  // Centres the dialog again.
  void UseDefaultPosition() { m_useDefaultPosition = true; }

  // Shows the dialog owned by owner; its end code (IDOK, IDCANCEL) or -1
  // when it could not be shown.
  INT_PTR Show(HWND owner);
  // The result text of this showing's OK; empty when nothing was checked.
  const std::wstring& Result() const { return m_result; }

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  bool Route(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void OnInitDialog();
  void PlaceWindow();
  void AttachControls();
  bool PrepareButtonFaces();
  void AttachButton(SkinImageButton& button, int id);
  void OnOk();
  void OnCancel();

  ShellCheckTree m_tree;
  // After the tree: joined before the tree object goes.
  TreeFillThread m_fillThread;
  SkinLabel m_label;
  SkinImageButton m_okButton{SkinImageButton::kSizeToImage};
  SkinImageButton m_cancelButton{SkinImageButton::kSizeToImage};
  bool m_buttonFacesReady = false;
  std::wstring m_caption;
  std::wstring m_subtitle;
  bool m_showFiles = false;
  bool m_useDefaultPosition = true;
  WORD m_relativeToParent = 0;
  int m_x = 0;
  int m_y = 0;
  std::wstring m_result;
};

}  // namespace zx
