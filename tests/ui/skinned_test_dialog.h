#pragma once
// The skinned dialog of template 105 set up as the scan-path dialog sets it
// up (frame, label, OK and Cancel image buttons), for driving without a
// person: it runs a test body from inside its own modal loop and records
// the commands it receives instead of closing on them.
#include <windows.h>

#include <functional>
#include <vector>

#include "ui/skin_frame.h"
#include "ui/skin_image_button.h"
#include "ui/skin_label.h"

namespace zx::test {

class SkinnedTestDialog : public SkinFrame {
 public:
  using Body = std::function<void(SkinnedTestDialog&)>;

  struct Command {
    int id;
    int code;
    HWND control;
  };

  SkinnedTestDialog();

  // Shows the dialog at a fixed place, runs body once it is on screen and
  // painted, then ends it.
  void Run(const Body& body, HWND owner = nullptr);

  SkinImageButton& OkButton() { return m_ok; }
  HWND Item(int id) const { return GetDlgItem(Handle(), id); }
  RECT WindowRect() const;
  // Screen point of a point in window coordinates.
  POINT ToScreen(POINT windowPoint) const;

  // Recorded system commands (SC_CLOSE and SC_MINIMIZE are swallowed).
  int SysCommandCount(WPARAM command) const;
  const std::vector<Command>& Commands() const { return m_commands; }
  int MoveLoopCount() const { return m_moveLoops; }
  void ClearRecords();

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void Initialise();
  void RunBodyOnceShown();

  SkinLabel m_label;
  SkinImageButton m_ok;
  SkinImageButton m_cancel;
  const Body* m_body = nullptr;
  std::vector<WPARAM> m_sysCommands;
  std::vector<Command> m_commands;
  int m_moveLoops = 0;
};

}  // namespace zx::test
