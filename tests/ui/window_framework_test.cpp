// The window framework under the skinned dialogs: window objects bound to
// windows by subclassing, and modal dialogs bound to their objects.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "res/resource_ids.h"
#include "ui/modal_dialog.h"
#include "ui/window_object.h"

namespace zx {
namespace {

// Answers WM_APP with 42 and logs the end of its window.
class RecordingWindow : public WindowObject {
 public:
  std::function<void(RecordingWindow&, UINT)> onMessage = [](RecordingWindow&, UINT) {};
  std::vector<std::string> log;

 protected:
  bool HandleMessage(UINT message, WPARAM, LPARAM, LRESULT& result) override {
    if (message == WM_NCDESTROY) log.push_back("WM_NCDESTROY");
    onMessage(*this, message);
    result = 42;
    return message == WM_APP;
  }
  void AfterFinalMessage(HWND) override { log.push_back(Handle() ? "final, attached" : "final"); }
};

// A hidden edit control: a window with a procedure of its own to pass on to.
HWND CreateEdit() {
  return CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr,
                         nullptr);
}

TEST(WindowObject, WindowDestroyedInsideAMessageLetsGoOnlyAfterIt) {
  RecordingWindow window;
  window.onMessage = [](RecordingWindow& self, UINT message) {
    if (message != WM_APP) return;
    self.log.push_back("WM_APP begins");
    DestroyWindow(self.Handle());
    self.log.push_back("WM_APP ends");
  };
  const HWND edit = CreateEdit();
  ASSERT_TRUE(window.Subclass(edit));
  SendMessageW(edit, WM_APP, 0, 0);
  EXPECT_EQ(window.log,
            (std::vector<std::string>{"WM_APP begins", "WM_NCDESTROY", "WM_APP ends", "final"}));
}

TEST(WindowObject, ObjectDestroyedFirstHandsTheWindowBackToItsOwnProcedure) {
  const HWND edit = CreateEdit();
  const LONG_PTR original = GetWindowLongPtrW(edit, GWLP_WNDPROC);
  {
    RecordingWindow window;
    ASSERT_TRUE(window.Subclass(edit));
  }
  EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_WNDPROC), original);
  EXPECT_EQ(SendMessageW(edit, WM_APP, 0, 0), 0);
  RecordingWindow next;
  EXPECT_TRUE(next.Subclass(edit));
  DestroyWindow(edit);
}

// Template 105 answering WM_APP through the message result and a colour
// message directly; the first showing tries to show a second one.
class ProbeDialog : public ModalDialog {
 public:
  explicit ProbeDialog(int templateId = IDD_SCAN_PATH) : ModalDialog(templateId) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
  }
  LRESULT app = 0, colour = 0;
  INT_PTR nested = 0;
  DWORD nestedError = 0;
  int finalMessages = 0;

 protected:
  bool HandleMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) override {
    result = message == WM_APP ? 77 : 5;
    if (message == WM_APP || message == WM_CTLCOLORSTATIC) return true;
    if (message != WM_INITDIALOG) return false;
    app = SendMessageW(Handle(), WM_APP, 0, 0);
    colour = SendMessageW(Handle(), WM_CTLCOLORSTATIC, 0, 0);
    if (lParam == 1) {
      nested = RunModal(nullptr, 2);
      nestedError = GetLastError();
    }
    EndDialog(Handle(), 10 + lParam);
    return false;
  }
  void AfterFinalMessage(HWND) override { ++finalMessages; }
};

// A dialog that never starts must not leave its object to the next one.
TEST(ModalDialog, AnswersEndsWithItsCodeAndShowsOneDialogAtATime) {
  EXPECT_EQ(ProbeDialog(999).RunModal(nullptr, 5), -1);
  ProbeDialog dialog;
  EXPECT_EQ(dialog.RunModal(nullptr, 1), 11);
  EXPECT_EQ(dialog.app, 77);
  EXPECT_EQ(dialog.colour, 5);
  EXPECT_EQ(dialog.nested, -1);
  EXPECT_EQ(dialog.nestedError, static_cast<DWORD>(ERROR_INVALID_STATE));
  EXPECT_EQ(dialog.RunModal(nullptr, 3), 13);
  EXPECT_EQ(dialog.finalMessages, 2);
  EXPECT_EQ(dialog.Handle(), nullptr);
}

}  // namespace
}  // namespace zx
