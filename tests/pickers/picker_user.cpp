#include "picker_user.h"

#include <cstddef>
#include <cstring>
#include <cwchar>

#include "harness/message_pump.h"
#include "res/resource_ids.h"

namespace zx::test {
namespace {

constexpr size_t kBufferSize = 4096;
constexpr int kTextCapacity = 512;
constexpr UINT kReplyTimeoutMs = 10000;
constexpr DWORD kStateChangeMs = 3000;  // a click is taken at once; only a fault waits this long

bool HasClass(HWND window, const wchar_t* name) {
  wchar_t found[64] = {};
  GetClassNameW(window, found, 64);
  return wcscmp(found, name) == 0;
}

// Named, not a lambda: the 32-bit build needs a stdcall callback.
BOOL CALLBACK KeepTreeView(HWND child, LPARAM found) {
  if (!HasClass(child, WC_TREEVIEWW)) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

HWND TreeIn(HWND dialog) {
  HWND tree = nullptr;
  EnumChildWindows(dialog, &KeepTreeView, reinterpret_cast<LPARAM>(&tree));
  return tree;
}

struct DialogSearch {
  DWORD process;
  Picker kind;
  HWND found = nullptr;
};

BOOL CALLBACK TakeDialog(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<DialogSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (!IsWindowVisible(window) || (search.process && owner != search.process) ||
      !HasClass(window, L"#32770") || !TreeIn(window)) {
    return TRUE;
  }
  const bool scanPath = GetDlgItem(window, IDC_SCAN_TREE) && GetDlgItem(window, IDC_SCAN_PROMPT);
  if (search.kind != Picker::kEither && scanPath != (search.kind == Picker::kScanPath)) return TRUE;
  search.found = window;
  return FALSE;
}

void ClickAt(HWND window, POINT client) {
  const LPARAM where = MAKELPARAM(client.x, client.y);
  PostMessageW(window, WM_MOUSEMOVE, 0, where);
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
  PostMessageW(window, WM_LBUTTONUP, 0, where);
}

}  // namespace

bool CreateScanFolders() {
  bool made = true;
  for (const wchar_t* folder :
       {L"", L"\\Alpha", L"\\Beta", L"\\Beta\\Inner", L"\\KEEP.ZIP", L"\\Arch.zip", L"\\zeta"}) {
    const std::wstring path = std::wstring(L"C:\\ZxScan") + folder;
    made =
        (CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) && made;
  }
  for (const wchar_t* file : {L"C:\\ZxScan\\Alpha\\only-file.txt", L"C:\\ZxScan\\notes.txt"}) {
    made =
        UniqueFile(CreateFileW(file, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr)) && made;
  }
  return made;
}

HWND FindPicker(Picker kind, DWORD process) {
  DialogSearch search{process, kind};
  EnumWindows(&TakeDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForPicker(Picker kind, DWORD process) {
  HWND dialog = nullptr;
  PollUntil([&] { return (dialog = FindPicker(kind, process)) != nullptr; });
  return dialog;
}

bool WaitUntilGone(HWND window) {
  return PollUntil([window] { return !IsWindow(window) || !IsWindowVisible(window); });
}

void ClickControl(HWND dialog, int id) {
  RECT client{};
  GetClientRect(GetDlgItem(dialog, id), &client);
  ClickAt(GetDlgItem(dialog, id), {client.right / 2, client.bottom / 2});
}

TreeUser::TreeUser(HWND dialog) : m_tree(TreeIn(dialog)) {
  DWORD process = 0;
  GetWindowThreadProcessId(m_tree, &process);
  m_process.Reset(
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process));
  if (m_process) {
    m_buffer = static_cast<char*>(
        VirtualAllocEx(m_process.Get(), nullptr, kBufferSize, MEM_COMMIT, PAGE_READWRITE));
  }
}

TreeUser::~TreeUser() {
  if (m_buffer) VirtualFreeEx(m_process.Get(), m_buffer, 0, MEM_RELEASE);
}

LRESULT TreeUser::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  DWORD_PTR answer = 0;
  const bool answered =
      SendMessageTimeoutW(m_tree, message, wParam, lParam, SMTO_NORMAL, kReplyTimeoutMs, &answer);
  return answered ? static_cast<LRESULT>(answer) : 0;
}

bool TreeUser::Exchange(UINT message, WPARAM wParam, void* data, size_t size) const {
  SIZE_T done = 0;
  return m_buffer && WriteProcessMemory(m_process.Get(), m_buffer, data, size, &done) &&
         Send(message, wParam, reinterpret_cast<LPARAM>(m_buffer)) &&
         ReadProcessMemory(m_process.Get(), m_buffer, data, size, &done);
}

HTREEITEM TreeUser::Step(HTREEITEM item, UINT relation) const {
  return reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, relation, LPARAM(item)));
}

std::wstring TreeUser::Text(HTREEITEM item) const {
  struct {
    TVITEMW item;
    wchar_t text[kTextCapacity];
  } request{};
  request.item.mask = TVIF_HANDLE | TVIF_TEXT;
  request.item.hItem = item;
  request.item.pszText = reinterpret_cast<wchar_t*>(m_buffer + offsetof(decltype(request), text));
  request.item.cchTextMax = kTextCapacity - 1;
  return Exchange(TVM_GETITEMW, 0, &request, sizeof(request)) ? request.text : L"";
}

HTREEITEM TreeUser::Child(HTREEITEM parent, const std::wstring& name) const {
  if (parent && !Expand(parent)) return nullptr;
  HTREEITEM found = nullptr;
  PollUntil([&] {
    for (found = Step(parent, TVGN_CHILD); found; found = Step(found, TVGN_NEXT)) {
      const std::wstring text = Text(found);  // a drive shows as "label (C:)"
      if (text == name || text.find(L"(" + name + L")") != std::wstring::npos) return true;
    }
    return false;
  });
  return found;
}

HTREEITEM TreeUser::Open(const std::vector<std::wstring>& names) const {
  HTREEITEM item = nullptr;
  for (const std::wstring& name : names) {
    if (!(item = Child(item, name))) return nullptr;
  }
  return item;
}

std::vector<std::wstring> TreeUser::ChildTexts(HTREEITEM parent) const {
  std::vector<std::wstring> texts;
  for (HTREEITEM item = Step(parent, TVGN_CHILD); item; item = Step(item, TVGN_NEXT)) {
    texts.push_back(Text(item));
  }
  return texts;
}

bool TreeUser::HasExpandButton(HTREEITEM item) const {
  TVITEMW request{};
  request.mask = TVIF_HANDLE | TVIF_CHILDREN;
  request.hItem = item;
  return Exchange(TVM_GETITEMW, 0, &request, sizeof(request)) && request.cChildren != 0;
}

bool TreeUser::Shows(HTREEITEM item, int checkIndex) const {
  return PollUntil(
      [&] {
        return (Send(TVM_GETITEMSTATE, WPARAM(item), TVIS_STATEIMAGEMASK) >> 12) == checkIndex;
      },
      kStateChangeMs);
}

bool TreeUser::ClickOn(HTREEITEM item, UINT hitFlags) const {
  Send(TVM_ENSUREVISIBLE, 0, LPARAM(item));
  RECT row{};
  memcpy(&row, &item, sizeof(item));  // the request names the item where the answer goes
  if (!Exchange(TVM_GETITEMRECT, FALSE, &row, sizeof(row))) return false;
  // Buttons, state icons and icons lie left of the text: look along the row.
  TVHITTESTINFO hit{};
  for (hit.pt = {row.left, (row.top + row.bottom) / 2}; hit.pt.x < row.right; hit.pt.x += 2) {
    TVHITTESTINFO answer = hit;
    if (Exchange(TVM_HITTEST, 0, &answer, sizeof(answer)) && (answer.flags & hitFlags)) {
      ClickAt(m_tree, hit.pt);
      return true;
    }
  }
  return false;
}

// A click toggles: when the fill opened the item just before it, it closed
// it again, and a second click opens it.
bool TreeUser::Expand(HTREEITEM item) const {
  const auto open = [&] { return Send(TVM_GETITEMSTATE, WPARAM(item), TVIS_EXPANDED) != 0; };
  for (int click = 0; click < 2 && !open(); ++click) {
    if (ClickOn(item, TVHT_ONITEMBUTTON) &&
        PollUntil([&] { return open() || !HasExpandButton(item); })) {
      return true;
    }
  }
  return open();
}

bool TreeUser::ClickBox(HTREEITEM item) const { return ClickOn(item, TVHT_ONITEMSTATEICON); }

bool TreeUser::ClickLabel(HTREEITEM item) const {
  return ClickOn(item, TVHT_ONITEMLABEL) &&
         PollUntil([&] { return Step(nullptr, TVGN_CARET) == item; });
}

bool TreeUser::PressSpace(HTREEITEM item) const {
  Send(TVM_SELECTITEM, TVGN_CARET, LPARAM(item));
  const LPARAM scan = MapVirtualKeyW(VK_SPACE, MAPVK_VK_TO_VSC) << 16;
  PostMessageW(m_tree, WM_KEYDOWN, VK_SPACE, 1 | scan);
  PostMessageW(m_tree, WM_KEYUP, VK_SPACE, 1 | scan | 0xC0000000);
  return Step(nullptr, TVGN_CARET) == item;
}

}  // namespace zx::test
