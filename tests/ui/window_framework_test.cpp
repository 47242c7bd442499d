// The window framework under the skinned dialogs: window objects bound to
// windows by subclassing, and modal dialogs bound to their objects.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "common/win_resources.h"
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

TEST(WindowObject, RoutesToItsMapFirstAndToTheControlForTheRest) {
  RecordingWindow window, other;
  const HWND edit = CreateEdit(), next = CreateEdit();
  BOOL attached = FALSE;  // from another thread, as any thread may attach a control
  std::thread([&] { attached = window.Subclass(edit); }).join();
  ASSERT_TRUE(attached);
  EXPECT_FALSE(other.Subclass(edit)) << "bound to another object";
  EXPECT_FALSE(window.Subclass(next)) << "attached already";
  EXPECT_FALSE(other.Subclass(nullptr));
  EXPECT_EQ(SendMessageW(edit, WM_APP, 0, 0), 42);
  wchar_t text[8] = {};
  SetWindowTextW(edit, L"typed");
  EXPECT_EQ(std::wstring(text, GetWindowTextW(edit, text, 8)), L"typed");
  DestroyWindow(edit);
  ASSERT_TRUE(window.Subclass(next)) << "detached, it attaches to a new window";
  EXPECT_EQ(SendMessageW(next, WM_APP, 0, 0), 42);
  DestroyWindow(next);
  EXPECT_EQ(window.log,
            (std::vector<std::string>{"WM_NCDESTROY", "final", "WM_NCDESTROY", "final"}));
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
  EXPECT_FALSE(IsWindow(edit));
}

TEST(WindowObject, ObjectDestroyedFirstHandsTheWindowBackToItsOwnProcedure) {
  const HWND edit = CreateEdit();
  const LONG_PTR original = GetWindowLongPtrW(edit, GWLP_WNDPROC);
  {
    RecordingWindow window;
    ASSERT_TRUE(window.Subclass(edit));
    EXPECT_NE(GetWindowLongPtrW(edit, GWLP_WNDPROC), original);
  }
  EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_WNDPROC), original);
  EXPECT_EQ(SendMessageW(edit, WM_APP, 0, 0), 0);
  RecordingWindow next;
  EXPECT_TRUE(next.Subclass(edit));
  DestroyWindow(edit);
}

// Runs template 105 (or another) with a handler as its message map.
class ProbeDialog : public ModalDialog {
 public:
  using Handler = std::function<bool(ProbeDialog&, UINT, LPARAM, LRESULT&)>;
  explicit ProbeDialog(Handler handler, int templateId = IDD_SCAN_PATH)
      : ModalDialog(templateId), m_handler(std::move(handler)) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
  }
  int finalMessages = 0;

 protected:
  bool HandleMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) override {
    return m_handler(*this, message, lParam, result);
  }
  void AfterFinalMessage(HWND) override { ++finalMessages; }

 private:
  Handler m_handler;
};

// Colour messages answer directly, the others through the message result;
// the dialog ends with its code, and an object shows one dialog at a time.
TEST(ModalDialog, AnswersEndsWithItsCodeAndShowsOneDialogAtATime) {
  EXPECT_EQ(
      ProbeDialog([](auto&, UINT, LPARAM, LRESULT&) { return false; }, 999).RunModal(nullptr, 5),
      -1);
  LRESULT app = 0, colour = 0;
  INT_PTR nested = 0;
  DWORD nestedError = 0;
  ProbeDialog dialog([&](ProbeDialog& self, UINT message, LPARAM lParam, LRESULT& result) {
    result = message == WM_APP ? 77 : 5;
    if (message == WM_APP || message == WM_CTLCOLORSTATIC) return true;
    if (message != WM_INITDIALOG) return false;
    app = SendMessageW(self.Handle(), WM_APP, 0, 0);
    colour = SendMessageW(self.Handle(), WM_CTLCOLORSTATIC, 0, 0);
    if (lParam == 1) {
      nested = self.RunModal(nullptr, 2);
      nestedError = GetLastError();
    }
    EndDialog(self.Handle(), 10 + lParam);
    return false;
  });
  EXPECT_EQ(dialog.RunModal(nullptr, 1), 11);
  EXPECT_EQ(app, 77);
  EXPECT_EQ(colour, 5);
  EXPECT_EQ(nested, -1);
  EXPECT_EQ(nestedError, static_cast<DWORD>(ERROR_INVALID_STATE));
  EXPECT_EQ(dialog.RunModal(nullptr, 3), 13);
  EXPECT_EQ(dialog.finalMessages, 2);
  EXPECT_EQ(dialog.Handle(), nullptr);
}

// Each thread's window creation waits in a CBT hook until the other
// thread's is pending too, so each first message must pick its own thread's
// entry out of two. A wait ended by the other's arrival proves the case.
UniqueHandle g_bothCreating;
LONG g_creating = 0;
LONG g_metWhileWaiting = 0;

LRESULT CALLBACK WaitForTheOtherCreation(int code, WPARAM wParam, LPARAM lParam) {
  static thread_local bool waited = false;
  if (code == HCBT_CREATEWND && !std::exchange(waited, true)) {
    if (InterlockedIncrement(&g_creating) == 2) SetEvent(g_bothCreating.Get());
    if (WaitForSingleObject(g_bothCreating.Get(), 10000) == WAIT_OBJECT_0) {
      InterlockedIncrement(&g_metWhileWaiting);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(ModalDialog, DialogsStartedOnTwoThreadsAtOnceGetTheirOwnObjects) {
  g_bothCreating.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  LPARAM seen[2] = {-1, -1};
  INT_PTR codes[2] = {0, 0};
  std::vector<std::thread> threads;
  for (int i = 0; i < 2; ++i) {
    threads.emplace_back([i, &seen, &codes] {
      const HHOOK hook =
          SetWindowsHookExW(WH_CBT, &WaitForTheOtherCreation, nullptr, GetCurrentThreadId());
      codes[i] = ProbeDialog([i, &seen](ProbeDialog& self, UINT message, LPARAM lParam, LRESULT&) {
                   if (message == WM_INITDIALOG)
                     seen[i] = lParam, EndDialog(self.Handle(), 100 + i);
                   return false;
                 }).RunModal(nullptr, i);
      UnhookWindowsHookEx(hook);
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(g_metWhileWaiting, 2) << "the two creations were never pending at once";
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(seen[i], i);
    EXPECT_EQ(codes[i], 100 + i);
  }
}

}  // namespace
}  // namespace zx
