#pragma once
// The pickers as a page gets them: objects of the real zxmlhttp.dll on an
// OLE thread, over C:\ZxScan, with a person at the dialog on another thread.
#include <windows.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <functional>
#include <string>
#include <vector>

#include "harness/zxmlhttp_module.h"
#include "picker_user.h"
#include "res/zxmlhttp_idl.h"

namespace zx::test {

constexpr int kUnchecked = 1, kPartial = 2, kChecked = 3;  // the tree's state images
const std::vector<std::wstring> kDriveC = {L"My Computer", L"C:"};
const std::vector<std::wstring> kScanFolder = {L"My Computer", L"C:", L"ZxScan"};

// What a picker call returned and left in its out string.
struct Outcome {
  HRESULT hr;
  std::wstring text;  // "<untouched>" when the call left it alone, "<null>" for a null string
};

using PickerCall = std::function<HRESULT(BSTR*)>;
using ScanPathUser = std::function<void(HWND dialog, const TreeUser& tree)>;

class PickerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs call here, blocked in the dialog's modal loop, while user acts on
  // another thread once the dialog shows. A picker dialog the user leaves
  // open is cancelled, so a failing step fails the test instead of hanging it.
  static Outcome RunWithUser(const PickerCall& call, Picker kind,
                             const std::function<void(HWND)>& user);
  // Shows the scan-path dialog; user gets it once its computer item is filled.
  Outcome ShowScanPath(const ScanPathUser& user, VARIANT_BOOL showFiles = VARIANT_FALSE);
  // Shows the scan-path dialog, lets user act on it and cancels it, which
  // the call must answer with S_FALSE.
  void CancelAfter(const std::function<void(HWND)>& user);

  ZxmlhttpModule m_module;
  Microsoft::WRL::ComPtr<IZevFileDialog> m_folderPicker;
  Microsoft::WRL::ComPtr<IZevMultiFileDialog> m_scanPicker;

 private:
  HRESULT m_ole = E_FAIL;
};

}  // namespace zx::test
