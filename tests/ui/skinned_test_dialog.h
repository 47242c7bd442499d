#pragma once
// The skinned dialog of template 105 set up as the scan-path dialog sets it
// up (frame, label, OK and Cancel image buttons), for driving without a
// person: it runs a test body from inside its own modal loop and counts the
// commands it gets instead of acting on them.
#include <windows.h>

#include <functional>
#include <map>
#include <utility>

#include "ui/skin_frame.h"
#include "ui/skin_image_button.h"
#include "ui/skin_label.h"

namespace zx::test {

class SkinnedTestDialog : public SkinFrame {
 public:
  using Body = std::function<void(SkinnedTestDialog&)>;

  SkinnedTestDialog();

  // Shows the dialog at a fixed place, runs body once it is on screen and
  // painted, then ends it.
  void Run(const Body& body);

  SkinImageButton& OkButton() { return m_ok; }
  HWND Item(int id) const { return GetDlgItem(Handle(), id); }
  RECT WindowRect() const;
  // A point in window coordinates on the screen, as mouse messages carry it.
  LPARAM ScreenPoint(int x, int y) const;
  // How often it got WM_SYSCOMMAND (what: the command; SC_CLOSE is
  // swallowed), WM_COMMAND BN_CLICKED (what: the control id) or WM_ENTERSIZEMOVE.
  int Count(UINT message, WPARAM what = 0) const;

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void Initialise();

  SkinLabel m_label;
  SkinImageButton m_ok;
  SkinImageButton m_cancel;
  const Body* m_body = nullptr;
  std::map<std::pair<UINT, WPARAM>, int> m_counts;
};

}  // namespace zx::test
