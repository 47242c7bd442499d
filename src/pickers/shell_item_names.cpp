#include "pickers/shell_item_names.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <memory>

namespace zx {
namespace {

constexpr UINT kSmallIconFlags = SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON;

struct TaskMemFree {
  void operator()(wchar_t* text) const { CoTaskMemFree(text); }
};

}  // namespace

std::optional<std::u16string> DisplayNameOf(IShellFolder* folder, PCUITEMID_CHILD child,
                                            SHGDNF form) {
  STRRET answer{};
  if (FAILED(folder->GetDisplayNameOf(child, form, &answer))) return std::nullopt;
  // Copies whatever form the answer takes, and frees a string the folder allocated.
  wchar_t* name = nullptr;
  if (FAILED(StrRetToStrW(&answer, child, &name))) return std::nullopt;
  const std::unique_ptr<wchar_t, TaskMemFree> owned(name);
  return std::u16string(reinterpret_cast<const char16_t*>(name));
}

int SmallIconIndexOf(PCIDLIST_ABSOLUTE item, bool open) {
  SHFILEINFOW info{};
  const UINT flags = kSmallIconFlags | (open ? SHGFI_OPENICON : 0);
  if (!SHGetFileInfoW(reinterpret_cast<LPCWSTR>(item), 0, &info, sizeof(info), flags)) return -1;
  return info.iIcon;
}

HIMAGELIST SystemSmallImageList(PCIDLIST_ABSOLUTE anyItem) {
  SHFILEINFOW info{};
  return reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoW(reinterpret_cast<LPCWSTR>(anyItem), 0, &info, sizeof(info), kSmallIconFlags));
}

}  // namespace zx
