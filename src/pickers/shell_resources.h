#pragma once
// Owners of the shell's item identifier lists and of image lists, released
// where they go out of scope like the handles in common/win_resources.h.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include "common/win_resources.h"

namespace zx {

// Item identifier lists come from (and go back to) the shell's task allocator.
struct PidlTraits {
  using Type = ITEMIDLIST*;
  static Type Empty() noexcept { return nullptr; }
  static void Close(Type value) noexcept { CoTaskMemFree(value); }
};
using UniquePidl = UniqueResource<PidlTraits>;

struct ImageListTraits {
  using Type = HIMAGELIST;
  static Type Empty() noexcept { return nullptr; }
  static void Close(Type value) noexcept { ImageList_Destroy(value); }
};
using UniqueImageList = UniqueResource<ImageListTraits>;

// Shows the wait cursor for the rest of the scope.
class WaitCursor {
 public:
  WaitCursor() noexcept : m_previous(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
  ~WaitCursor() { SetCursor(m_previous); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR m_previous;
};

}  // namespace zx
