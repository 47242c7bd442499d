#include "picker_test.h"

#include <ocidl.h>
#include <ole2.h>

#include <atomic>
#include <thread>

#include "harness/message_pump.h"

namespace zx::test {

void PickerTest::SetUp() {
  // The browse dialog's new style needs OLE, as in a page's thread.
  m_ole = OleInitialize(nullptr);
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

void PickerTest::RunWithUser(const std::function<HRESULT(BSTR*)>& call, Outcome& outcome,
                             const std::function<void(HWND)>& user, bool scanPath) {
  const DWORD self = GetCurrentProcessId();
  std::atomic<bool> callEnded{false};
  std::thread person([&] {
    const HWND dialog = scanPath ? WaitForScanPathDialog(self) : WaitForBrowseDialog(self);
    EXPECT_TRUE(dialog) << "no picker dialog showed";
    if (dialog) user(dialog);
    while (!PollUntil([&] { return callEnded.load(); }, 3000)) {
      if (const HWND left = FindPickerDialog(self)) PostMessageW(left, WM_COMMAND, IDCANCEL, 0);
    }
  });
  outcome.hr = call(&outcome.text);
  callEnded = true;
  person.join();
}

void PickerTest::ShowScanPath(const std::function<HRESULT(BSTR*)>& call, Outcome& outcome,
                              const ScanPathUser& user) {
  RunWithUser(
      call, outcome,
      [&](HWND dialog) {
        const TreeUser tree(dialog);
        const HTREEITEM computer = tree.Child(nullptr, L"My Computer");
        ASSERT_TRUE(computer && tree.Child(computer, L"C:")) << "the computer item was not filled";
        user(dialog, tree);
      },
      true);
}

void PickerTest::ShowScanPath(Outcome& outcome, const ScanPathUser& user, VARIANT_BOOL showFiles) {
  ShowScanPath(
      [&](BSTR* text) {
        return m_scanPicker->GetOpenFileNameEx(showFiles, nullptr, nullptr, 0, text);
      },
      outcome, user);
}

void PickerTest::GiveSite(IUnknown* picker, const FakeSite::Offer* offer) {
  ComPtr<IObjectWithSite> withSite;
  ASSERT_EQ(picker->QueryInterface(IID_PPV_ARGS(&withSite)), S_OK);
  ComPtr<FakeSite> site;
  if (offer) *site.ReleaseAndGetAddressOf() = new FakeSite(*offer);  // adopts its first reference
  EXPECT_EQ(withSite->SetSite(static_cast<IServiceProvider*>(site.Get())), S_OK);
}

}  // namespace zx::test
