// Modal dialogs from template 105 bound to their objects: the first message,
// the dialog procedure's answers, failures and several threads at once.
#include "ui/modal_dialog.h"

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "res/resource_ids.h"

namespace zx {
namespace {

class ProbeDialog : public ModalDialog {
 public:
  using Handler = std::function<bool(ProbeDialog&, UINT, LPARAM, LRESULT&)>;

  explicit ProbeDialog(Handler handler, int templateId = IDD_SCAN_PATH)
      : ModalDialog(templateId), m_handler(std::move(handler)) {}

  INT_PTR Run(LPARAM initParam) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    return RunModal(nullptr, initParam);
  }

  std::vector<UINT> messages;
  HWND window = nullptr;
  int finalMessages = 0;

 protected:
  bool HandleMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) override {
    messages.push_back(message);
    if (message == WM_INITDIALOG) window = Handle();
    return m_handler(*this, message, lParam, result);
  }
  void AfterFinalMessage(HWND) override { ++finalMessages; }

 private:
  Handler m_handler;
};

// Ends the dialog with the init parameter as soon as it initialises.
bool EndAtOnce(ProbeDialog& dialog, UINT message, LPARAM lParam, LRESULT&) {
  if (message == WM_INITDIALOG) EndDialog(dialog.Handle(), lParam);
  return false;
}

TEST(ModalDialog, BindsTheFirstMessageAndEndsWithTheDialogsCode) {
  ProbeDialog dialog(EndAtOnce);
  EXPECT_EQ(dialog.Run(1234), 1234);
  ASSERT_FALSE(dialog.messages.empty());
  EXPECT_EQ(dialog.messages.front(), static_cast<UINT>(WM_SETFONT));
  EXPECT_EQ(dialog.messages.back(), static_cast<UINT>(WM_NCDESTROY));
  EXPECT_NE(dialog.window, nullptr);
  EXPECT_EQ(dialog.finalMessages, 1);
  EXPECT_EQ(dialog.Handle(), nullptr);
}

TEST(ModalDialog, HandledMessagesAnswerDirectlyOrThroughTheMessageResult) {
  const HBRUSH brush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  LRESULT app = 0, colour = 0, unhandled = -1;
  ProbeDialog dialog([&](ProbeDialog& self, UINT message, LPARAM, LRESULT& result) {
    switch (message) {
      case WM_INITDIALOG:
        app = SendMessageW(self.Handle(), WM_APP, 0, 0);
        colour = SendMessageW(self.Handle(), WM_CTLCOLORSTATIC, 0, 0);
        unhandled = SendMessageW(self.Handle(), WM_APP + 1, 0, 0);
        EndDialog(self.Handle(), 1);
        result = TRUE;
        return true;
      case WM_APP:
        result = 77;
        return true;
      case WM_CTLCOLORSTATIC:
        result = reinterpret_cast<LRESULT>(brush);
        return true;
      default:
        return false;
    }
  });
  EXPECT_EQ(dialog.Run(0), 1);
  EXPECT_EQ(app, 77);
  EXPECT_EQ(colour, reinterpret_cast<LRESULT>(brush));
  EXPECT_EQ(unhandled, 0);
}

TEST(ModalDialog, AFailedDialogLeavesNoPendingEntryBehind) {
  ProbeDialog missing(EndAtOnce, 999);
  EXPECT_EQ(missing.Run(5), -1);
  ProbeDialog next(EndAtOnce);
  EXPECT_EQ(next.Run(6), 6);
  EXPECT_TRUE(missing.messages.empty());
  EXPECT_FALSE(next.messages.empty());
}

TEST(ModalDialog, ObjectShowsOneDialogAtATimeAndAnotherAfterwards) {
  INT_PTR nested = 0;
  DWORD nestedError = 0;
  ProbeDialog dialog([&](ProbeDialog& self, UINT message, LPARAM lParam, LRESULT&) {
    if (message != WM_INITDIALOG) return false;
    if (lParam == 1) {
      nested = self.RunModal(nullptr, 2);
      nestedError = GetLastError();
    }
    EndDialog(self.Handle(), 10 + lParam);
    return false;
  });
  EXPECT_EQ(dialog.Run(1), 11);
  EXPECT_EQ(nested, -1);
  EXPECT_EQ(nestedError, static_cast<DWORD>(ERROR_INVALID_STATE));
  EXPECT_EQ(dialog.Run(3), 13);
  EXPECT_EQ(dialog.finalMessages, 2);
}

// Two threads start dialogs at once: each creation waits in a CBT hook until
// both threads have their entries in the pending list, so each first message
// must pick its own thread's entry out of two.
std::atomic<int> g_creating{0};

LRESULT CALLBACK WaitForBothCreations(int code, WPARAM wParam, LPARAM lParam) {
  static thread_local bool waited = false;
  if (code == HCBT_CREATEWND && !waited) {
    waited = true;
    ++g_creating;
    for (int i = 0; i < 500 && g_creating < 2; ++i) Sleep(10);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(ModalDialog, DialogsStartedOnTwoThreadsAtOnceGetTheirOwnObjects) {
  g_creating = 0;
  std::vector<LPARAM> seen(2, -1);
  std::vector<INT_PTR> codes(2, 0);
  std::vector<std::thread> threads;
  for (int i = 0; i < 2; ++i) {
    threads.emplace_back([i, &seen, &codes] {
      const HHOOK hook =
          SetWindowsHookExW(WH_CBT, &WaitForBothCreations, nullptr, GetCurrentThreadId());
      ProbeDialog dialog([i, &seen](ProbeDialog& self, UINT message, LPARAM lParam, LRESULT&) {
        if (message != WM_INITDIALOG) return false;
        seen[i] = lParam;
        EndDialog(self.Handle(), 100 + i);
        return false;
      });
      codes[i] = dialog.Run(i);
      UnhookWindowsHookEx(hook);
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(g_creating, 2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(seen[i], i);
    EXPECT_EQ(codes[i], 100 + i);
  }
}

}  // namespace
}  // namespace zx
