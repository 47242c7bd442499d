#pragma once
// A person at the pickers' dialogs, from a thread of the test or from
// another process (the page script's driver): the dialogs are found on the
// screen, clicks and keys are posted as a person's arrive, and the tree is
// read through messages whose data lives in the owning process's memory.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "common/win_resources.h"

namespace zx::test {

// Makes what is missing of C:\ZxScan, the folder tree the tests browse:
//   Alpha\only-file.txt  a folder holding no folder
//   Beta\Inner           folders below folders
//   KEEP.ZIP, Arch.zip   zip folders: the lower-case one is hidden by default
//   zeta                 lower case: sorts after the upper case
//   notes.txt            a file: listed only with files shown
bool CreateScanFolders();

enum class Picker { kScanPath, kBrowse, kEither };

// A visible picker dialog of the process (0: of any), the scan-path one
// told by its tree and prompt; null when none shows within the wait.
HWND WaitForPicker(Picker kind, DWORD process = 0);
HWND FindPicker(Picker kind, DWORD process = 0);  // without waiting
bool WaitUntilGone(HWND window);

// A click on the middle of the control, posted as a person's arrives.
void ClickControl(HWND dialog, int id);

class TreeUser {
 public:
  explicit TreeUser(HWND dialog);
  ~TreeUser();
  TreeUser(const TreeUser&) = delete;
  TreeUser& operator=(const TreeUser&) = delete;

  // The child named, a drive by "C:" (null parent: on the top level), once
  // the parent is opened and the child listed; null when it is not.
  HTREEITEM Child(HTREEITEM parent, const std::wstring& name) const;
  // From the top level down the items named; the last, or null.
  HTREEITEM Open(const std::vector<std::wstring>& names) const;
  std::vector<std::wstring> ChildTexts(HTREEITEM parent) const;
  bool HasExpandButton(HTREEITEM item) const;
  // Whether the item comes to show the state image (1 unchecked, 2 partial,
  // 3 checked) within the wait.
  bool Shows(HTREEITEM item, int checkIndex) const;

  bool Expand(HTREEITEM item) const;  // by a click on its button
  bool ClickBox(HTREEITEM item) const;
  bool ClickLabel(HTREEITEM item) const;  // and waits until it is selected
  bool PressSpace(HTREEITEM item) const;  // on the item, once selected

 private:
  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const;
  // Sends message with lParam pointing at a copy of data in the owner's
  // memory and copies it back; false when the answer is 0.
  bool Exchange(UINT message, WPARAM wParam, void* data, size_t size) const;
  HTREEITEM Step(HTREEITEM item, UINT relation) const;
  std::wstring Text(HTREEITEM item) const;
  bool ClickOn(HTREEITEM item, UINT hitFlags) const;

  HWND m_tree;
  UniqueHandle m_process;
  char* m_buffer = nullptr;  // in the owner's address space
};

}  // namespace zx::test
