#pragma once
// The pickers as a page gets them: objects of the real zxmlhttp.dll on an
// OLE thread, over C:\ZxScan, with a person at the dialog on another thread.
#include <windows.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <functional>
#include <string>

#include "harness/zxmlhttp_module.h"
#include "picker_user.h"
#include "res/zxmlhttp_idl.h"
#include "support/fake_site.h"

namespace zx::test {

using Microsoft::WRL::ComPtr;

// What an out parameter holds when a call must leave it untouched.
inline const BSTR kUntouched = reinterpret_cast<BSTR>(static_cast<INT_PTR>(0x5A5A5A5A));

// What a picker call returned; the text stays kUntouched when the call leaves it.
struct Outcome {
  HRESULT hr = E_FAIL;
  BSTR text = kUntouched;
  Outcome() = default;
  Outcome(const Outcome&) = delete;
  ~Outcome() {
    if (text != kUntouched) SysFreeString(text);
  }
  std::wstring Text() const {
    if (text == kUntouched) return L"<untouched>";
    return text ? std::wstring(text, SysStringLen(text)) : L"<null>";
  }
};

using ScanPathUser = std::function<void(HWND dialog, const TreeUser& tree)>;

class PickerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs call here, blocked in the dialog's modal loop, while user acts on
  // another thread once the dialog shows. A picker dialog the user leaves
  // open is cancelled, so a failing step fails the test instead of hanging it.
  void RunWithUser(const std::function<HRESULT(BSTR*)>& call, Outcome& outcome,
                   const std::function<void(HWND)>& user, bool scanPath);
  // call shows the scan-path dialog; user gets it once its computer item is filled.
  void ShowScanPath(const std::function<HRESULT(BSTR*)>& call, Outcome& outcome,
                    const ScanPathUser& user);
  void ShowScanPath(Outcome& outcome, const ScanPathUser& user, VARIANT_BOOL showFiles = 0);
  // Gives the picker a fake site made from offer (null: no site at all).
  static void GiveSite(IUnknown* picker, const FakeSite::Offer* offer);

  ZxmlhttpModule m_module;
  ComPtr<IZevFileDialog> m_folderPicker;
  ComPtr<IZevMultiFileDialog> m_scanPicker;

 private:
  HRESULT m_ole = E_FAIL;
};

}  // namespace zx::test
