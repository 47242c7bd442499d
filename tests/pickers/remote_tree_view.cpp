#include "remote_tree_view.h"

#include <cstring>

namespace zx::test {
namespace {

constexpr size_t kBufferSize = 4096;
constexpr size_t kTextOffset = 1024;
constexpr int kTextCapacity = 512;
constexpr UINT kReplyTimeoutMs = 10000;

}  // namespace

RemoteTreeView::RemoteTreeView(HWND tree) : m_tree(tree) {
  DWORD processId = 0;
  GetWindowThreadProcessId(tree, &processId);
  m_process.Reset(
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
  if (!m_process) return;
  m_buffer = static_cast<char*>(
      VirtualAllocEx(m_process.Get(), nullptr, kBufferSize, MEM_COMMIT, PAGE_READWRITE));
}

RemoteTreeView::~RemoteTreeView() {
  if (m_buffer) VirtualFreeEx(m_process.Get(), m_buffer, 0, MEM_RELEASE);
}

LRESULT RemoteTreeView::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(m_tree, message, wParam, lParam, SMTO_NORMAL, kReplyTimeoutMs,
                           &answer)) {
    return 0;
  }
  return static_cast<LRESULT>(answer);
}

bool RemoteTreeView::Put(const void* data, size_t size, size_t offset) const {
  SIZE_T written = 0;
  return m_buffer && WriteProcessMemory(m_process.Get(), m_buffer + offset, data, size, &written) &&
         written == size;
}

bool RemoteTreeView::Get(void* data, size_t size, size_t offset) const {
  SIZE_T read = 0;
  return m_buffer && ReadProcessMemory(m_process.Get(), m_buffer + offset, data, size, &read) &&
         read == size;
}

int RemoteTreeView::Count() const { return static_cast<int>(Send(TVM_GETCOUNT, 0, 0)); }

HTREEITEM RemoteTreeView::Step(HTREEITEM item, UINT relation) const {
  return reinterpret_cast<HTREEITEM>(
      Send(TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

bool RemoteTreeView::GetItem(TVITEMW& item) const {
  return Put(&item, sizeof(item)) && Send(TVM_GETITEMW, 0, At()) && Get(&item, sizeof(item));
}

std::wstring RemoteTreeView::Text(HTREEITEM item) const {
  TVITEMW request{};
  request.mask = TVIF_HANDLE | TVIF_TEXT;
  request.hItem = item;
  request.pszText = reinterpret_cast<wchar_t*>(At(kTextOffset));
  request.cchTextMax = kTextCapacity;
  const wchar_t empty = L'\0';
  Put(&empty, sizeof(empty), kTextOffset);
  if (!GetItem(request)) return {};
  wchar_t text[kTextCapacity] = {};
  Get(text, sizeof(text) - sizeof(wchar_t), kTextOffset);
  return text;
}

int RemoteTreeView::CheckIndex(HTREEITEM item) const {
  TVITEMW request{};
  request.mask = TVIF_HANDLE | TVIF_STATE;
  request.hItem = item;
  request.stateMask = TVIS_STATEIMAGEMASK;
  if (!GetItem(request)) return -1;
  return static_cast<int>((request.state & TVIS_STATEIMAGEMASK) >> 12);
}

bool RemoteTreeView::HasExpandButton(HTREEITEM item) const {
  TVITEMW request{};
  request.mask = TVIF_HANDLE | TVIF_CHILDREN;
  request.hItem = item;
  return GetItem(request) && request.cChildren != 0;
}

bool RemoteTreeView::IsExpanded(HTREEITEM item) const {
  return (Send(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) & TVIS_EXPANDED) !=
         0;
}

std::vector<std::wstring> RemoteTreeView::ChildTexts(HTREEITEM parent) const {
  std::vector<std::wstring> texts;
  for (HTREEITEM item = parent ? Child(parent) : Root(); item; item = Next(item)) {
    texts.push_back(Text(item));
  }
  return texts;
}

HTREEITEM RemoteTreeView::FindChild(HTREEITEM parent,
                                    const std::function<bool(const std::wstring&)>& match) const {
  for (HTREEITEM item = parent ? Child(parent) : Root(); item; item = Next(item)) {
    if (match(Text(item))) return item;
  }
  return nullptr;
}

HTREEITEM RemoteTreeView::FindChildNamed(HTREEITEM parent, const std::wstring& text) const {
  return FindChild(parent, [&](const std::wstring& candidate) { return candidate == text; });
}

UINT RemoteTreeView::HitFlags(POINT point) const {
  TVHITTESTINFO hit{};
  hit.pt = point;
  if (!Put(&hit, sizeof(hit)) || !Send(TVM_HITTEST, 0, At()) || !Get(&hit, sizeof(hit))) return 0;
  return hit.flags;
}

std::optional<POINT> RemoteTreeView::PointOn(HTREEITEM item, UINT part) const {
  // The request names the item where the answer's rectangle will be.
  RECT bounds{};
  static_assert(sizeof(item) <= sizeof(bounds));
  memcpy(&bounds, &item, sizeof(item));
  // The whole row: buttons, state icons and icons lie left of the text.
  if (!Put(&bounds, sizeof(bounds)) || !Send(TVM_GETITEMRECT, FALSE, At()) ||
      !Get(&bounds, sizeof(bounds))) {
    return std::nullopt;
  }
  const int middle = (bounds.top + bounds.bottom) / 2;
  for (int x = bounds.left; x < bounds.right; x += 2) {
    if (HitFlags({x, middle}) & part) return POINT{x, middle};
  }
  return std::nullopt;
}

void RemoteTreeView::Select(HTREEITEM item) const {
  Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

void RemoteTreeView::EnsureVisible(HTREEITEM item) const {
  Send(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
}

}  // namespace zx::test
