// Binding window objects to existing windows by subclassing, and the order
// in which a destroyed window lets go of its object.
#include "ui/window_object.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace zx {
namespace {

class RecordingWindow : public WindowObject {
 public:
  using Handler = std::function<bool(RecordingWindow&, UINT, LRESULT&)>;

  explicit RecordingWindow(Handler handler = nullptr) : m_handler(std::move(handler)) {}

  void Log(const std::string& entry) { log.push_back(entry + (Handle() ? "" : " (detached)")); }

  std::vector<std::string> log;
  int finalMessages = 0;
  HWND finalHandle = nullptr;

 protected:
  bool HandleMessage(UINT message, WPARAM, LPARAM, LRESULT& result) override {
    if (message == WM_NCDESTROY) Log("WM_NCDESTROY");
    return m_handler && m_handler(*this, message, result);
  }
  void AfterFinalMessage(HWND window) override {
    ++finalMessages;
    finalHandle = window;
    Log("AfterFinalMessage");
  }

 private:
  Handler m_handler;
};

// A hidden edit control: a window with a procedure of its own to pass on to.
HWND CreateEdit() {
  return CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr,
                         nullptr);
}

std::wstring TextOf(HWND window) {
  wchar_t text[64] = {};
  GetWindowTextW(window, text, 64);
  return text;
}

bool AnswerAppWith42(RecordingWindow&, UINT message, LRESULT& result) {
  if (message != WM_APP) return false;
  result = 42;
  return true;
}

TEST(WindowObject, SubclassedWindowReachesTheMapFirstAndTheControlForTheRest) {
  const HWND edit = CreateEdit();
  RecordingWindow window([](RecordingWindow& self, UINT message, LRESULT& result) {
    if (message == WM_SETTEXT && !self.log.empty()) {
      result = TRUE;
      return true;
    }
    return AnswerAppWith42(self, message, result);
  });
  ASSERT_TRUE(window.Subclass(edit));
  EXPECT_EQ(window.Handle(), edit);
  EXPECT_EQ(SendMessageW(edit, WM_APP, 0, 0), 42);
  SetWindowTextW(edit, L"typed");  // goes on to the edit control
  EXPECT_EQ(TextOf(edit), L"typed");
  window.Log("swallow WM_SETTEXT from now on");
  SetWindowTextW(edit, L"lost");
  EXPECT_EQ(TextOf(edit), L"typed");
  DestroyWindow(edit);
}

TEST(WindowObject, SubclassRefusesABoundWindowAnAttachedObjectAndNoWindow) {
  const HWND first = CreateEdit();
  const HWND second = CreateEdit();
  RecordingWindow bound(AnswerAppWith42);
  RecordingWindow other;
  ASSERT_TRUE(bound.Subclass(first));
  EXPECT_FALSE(other.Subclass(first));
  EXPECT_FALSE(bound.Subclass(second));
  EXPECT_FALSE(other.Subclass(nullptr));
  EXPECT_EQ(SendMessageW(first, WM_APP, 0, 0), 42);
  DestroyWindow(first);
  DestroyWindow(second);
}

TEST(WindowObject, DestroyedWindowDetachesOnlyAfterTheOutermostMessage) {
  const HWND edit = CreateEdit();
  RecordingWindow window([](RecordingWindow& self, UINT message, LRESULT&) {
    if (message != WM_APP) return false;
    self.Log("WM_APP begins");
    DestroyWindow(self.Handle());
    self.Log("WM_APP ends");
    return true;
  });
  ASSERT_TRUE(window.Subclass(edit));
  SendMessageW(edit, WM_APP, 0, 0);
  const std::vector<std::string> expected = {"WM_APP begins", "WM_NCDESTROY", "WM_APP ends",
                                             "AfterFinalMessage (detached)"};
  EXPECT_EQ(window.log, expected);
  EXPECT_EQ(window.finalMessages, 1);
  EXPECT_EQ(window.finalHandle, edit);
  EXPECT_EQ(window.Handle(), nullptr);
  EXPECT_FALSE(IsWindow(edit));
}

TEST(WindowObject, DetachedObjectAttachesAgainToANewWindow) {
  RecordingWindow window(AnswerAppWith42);
  for (int round = 0; round < 2; ++round) {
    const HWND edit = CreateEdit();
    ASSERT_TRUE(window.Subclass(edit)) << round;
    EXPECT_EQ(SendMessageW(edit, WM_APP, 0, 0), 42);
    DestroyWindow(edit);
    EXPECT_EQ(window.Handle(), nullptr);
  }
  EXPECT_EQ(window.finalMessages, 2);
}

TEST(WindowObject, ObjectDestroyedFirstHandsTheWindowBackToItsOwnProcedure) {
  const HWND edit = CreateEdit();
  const LONG_PTR original = GetWindowLongPtrW(edit, GWLP_WNDPROC);
  {
    RecordingWindow window(AnswerAppWith42);
    ASSERT_TRUE(window.Subclass(edit));
    EXPECT_NE(GetWindowLongPtrW(edit, GWLP_WNDPROC), original);
  }
  EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_WNDPROC), original);
  EXPECT_EQ(SendMessageW(edit, WM_APP, 0, 0), 0);
  SetWindowTextW(edit, L"still an edit");
  EXPECT_EQ(TextOf(edit), L"still an edit");
  RecordingWindow next(AnswerAppWith42);
  EXPECT_TRUE(next.Subclass(edit));
  DestroyWindow(edit);
}

// The tree of the scan-path dialog is attached from its fill thread while
// the dialog's thread dispatches its messages.
TEST(WindowObject, SubclassFromAnotherThreadRoutesOnTheWindowsThread) {
  const HWND edit = CreateEdit();
  RecordingWindow window(AnswerAppWith42);
  BOOL attached = FALSE;
  std::thread([&] { attached = window.Subclass(edit); }).join();
  ASSERT_TRUE(attached);
  EXPECT_EQ(SendMessageW(edit, WM_APP, 0, 0), 42);
  DestroyWindow(edit);
  EXPECT_EQ(window.finalMessages, 1);
}

}  // namespace
}  // namespace zx
