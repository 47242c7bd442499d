#pragma once
// The pickers as a page gets them: objects of the real zxmlhttp.dll, used
// on an OLE thread, over the known folder tree on C:.
#include <windows.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <string>

#include "harness/zxmlhttp_module.h"
#include "res/zxmlhttp_idl.h"

namespace zx::test {

using Microsoft::WRL::ComPtr;

// What an out parameter holds when a call must leave it untouched.
inline const BSTR kUntouched = reinterpret_cast<BSTR>(static_cast<INT_PTR>(0x5A5A5A5A));

class PickerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  ComPtr<IZevMultiFileDialog> NewScanPathPicker() const;
  ComPtr<IZevFileDialog> NewFolderPicker() const;

  ZxmlhttpModule m_module;

 private:
  HRESULT m_ole = E_FAIL;
};

// The string a BSTR holds; "<null>" for a null one.
std::wstring TextOf(BSTR text);

// Where the tests save their screenshots (BMP), beside the test program.
std::wstring ScreenshotPath(const wchar_t* name);

}  // namespace zx::test
