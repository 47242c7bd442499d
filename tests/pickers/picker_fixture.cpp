#include "picker_fixture.h"

#include <ole2.h>

#include "harness/test_paths.h"
#include "scan_folders.h"

namespace zx::test {

void PickerTest::SetUp() {
  // The browse dialog's new style needs OLE, as in a page's thread.
  m_ole = OleInitialize(nullptr);
  ASSERT_TRUE(SUCCEEDED(m_ole));
  ASSERT_TRUE(m_module.Handle()) << "zxmlhttp.dll beside the test";
  ASSERT_TRUE(CreateScanFolders());
}

void PickerTest::TearDown() {
  if (SUCCEEDED(m_ole)) OleUninitialize();
}

ComPtr<IZevMultiFileDialog> PickerTest::NewScanPathPicker() const {
  ComPtr<IZevMultiFileDialog> picker;
  EXPECT_EQ(m_module.Create(CLSID_ZevMultiFileDialog, IID_PPV_ARGS(&picker)), S_OK);
  return picker;
}

ComPtr<IZevFileDialog> PickerTest::NewFolderPicker() const {
  ComPtr<IZevFileDialog> picker;
  EXPECT_EQ(m_module.Create(CLSID_ZevFileDialog, IID_PPV_ARGS(&picker)), S_OK);
  return picker;
}

std::wstring TextOf(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : L"<null>"; }

std::wstring ScreenshotPath(const wchar_t* name) { return BesideProgram(name); }

}  // namespace zx::test
