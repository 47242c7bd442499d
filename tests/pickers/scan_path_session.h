#pragma once
// One showing of the scan-path dialog with a person at the other end: the
// user steps run once the dialog shows and its computer item is filled.
#include <windows.h>

#include <functional>
#include <string>

#include "picker_fixture.h"
#include "remote_tree_view.h"

namespace zx::test {

struct ScanPathCall {
  VARIANT_BOOL showFiles = VARIANT_FALSE;
  BSTR caption = nullptr;
  BSTR subtitle = nullptr;
  // With a position: GetOpenFileNameEx2, else GetOpenFileNameEx.
  bool explicitPosition = false;
  VARIANT x{};
  VARIANT y{};
  VARIANT_BOOL relativeToParent = VARIANT_FALSE;
};

struct ScanPathOutcome {
  HRESULT hr = E_FAIL;
  BSTR paths = kUntouched;
  ~ScanPathOutcome();
  ScanPathOutcome() = default;
  ScanPathOutcome(const ScanPathOutcome&) = delete;
  ScanPathOutcome& operator=(const ScanPathOutcome&) = delete;
  std::wstring Text() const { return paths == kUntouched ? L"<untouched>" : TextOf(paths); }
};

using ScanPathUser = std::function<void(HWND dialog, const RemoteTreeView& tree)>;

// Shows the dialog and lets user act on it; the user steps must end it.
void ShowScanPathDialog(IZevMultiFileDialog* picker, const ScanPathCall& call,
                        const ScanPathUser& user, ScanPathOutcome& outcome);

VARIANT IntVariant(LONG value);

}  // namespace zx::test
