#include "picker_test.h"

#include <ole2.h>

#include <atomic>
#include <thread>

#include "harness/message_pump.h"

namespace zx::test {
namespace {

// What an out parameter holds when a call must leave it untouched.
const BSTR kUntouched = reinterpret_cast<BSTR>(static_cast<INT_PTR>(0x5A5A5A5A));

}  // namespace

void PickerTest::SetUp() {
  // The browse dialog's new style needs OLE, as in a page's thread.
  m_ole = OleInitialize(nullptr);
  SetCursorPos(1200, 1000);  // off every dialog, so that no real pointer moves reach one
  ASSERT_TRUE(SUCCEEDED(m_ole));
  ASSERT_TRUE(CreateScanFolders());
  ASSERT_EQ(m_module.Create(CLSID_ZevFileDialog, IID_PPV_ARGS(&m_folderPicker)), S_OK);
  ASSERT_EQ(m_module.Create(CLSID_ZevMultiFileDialog, IID_PPV_ARGS(&m_scanPicker)), S_OK);
}

void PickerTest::TearDown() {
  m_folderPicker.Reset();
  m_scanPicker.Reset();
  if (SUCCEEDED(m_ole)) OleUninitialize();
}

Outcome PickerTest::RunWithUser(const PickerCall& call, Picker kind,
                                const std::function<void(HWND)>& user) {
  const DWORD self = GetCurrentProcessId();
  std::atomic<bool> callEnded{false};
  std::thread person([&] {
    const HWND dialog = WaitForPicker(kind, self);
    EXPECT_TRUE(dialog) << "no picker dialog showed";
    if (dialog) user(dialog);
    while (!PollUntil([&] { return callEnded.load(); }, 3000)) {
      if (const HWND left = FindPicker(Picker::kEither, self)) {
        PostMessageW(left, WM_COMMAND, IDCANCEL, 0);
      }
    }
  });
  BSTR text = kUntouched;
  Outcome outcome{call(&text), L"<untouched>"};
  callEnded = true;
  person.join();
  if (text != kUntouched) {
    outcome.text = text ? std::wstring(text, SysStringLen(text)) : L"<null>";
    SysFreeString(text);
  }
  return outcome;
}

Outcome PickerTest::ShowScanPath(const ScanPathUser& user, VARIANT_BOOL showFiles) {
  return RunWithUser(
      [&](BSTR* text) {
        return m_scanPicker->GetOpenFileNameEx(showFiles, nullptr, nullptr, 0, text);
      },
      Picker::kScanPath,
      [&](HWND dialog) {
        const TreeUser tree(dialog);
        const HTREEITEM computer = tree.Child(nullptr, L"My Computer");
        ASSERT_TRUE(computer && tree.Child(computer, L"C:")) << "the computer item was not filled";
        user(dialog, tree);
      });
}

void PickerTest::CancelAfter(const std::function<void(HWND)>& user) {
  const Outcome outcome = ShowScanPath([&](HWND dialog, const TreeUser&) {
    user(dialog);
    ClickControl(dialog, IDCANCEL);
  });
  EXPECT_EQ(outcome.hr, S_FALSE);
}

}  // namespace zx::test
