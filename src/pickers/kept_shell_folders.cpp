#include "pickers/kept_shell_folders.h"

#include <array>

namespace zx {
namespace {

constexpr std::array<int, 14> kKeptFolderIds = {
    CSIDL_APPDATA,  CSIDL_DESKTOP,   CSIDL_DESKTOPDIRECTORY, CSIDL_DRIVES,   CSIDL_FAVORITES,
    CSIDL_PERSONAL, CSIDL_PROFILE,   CSIDL_PROGRAM_FILES,    CSIDL_PROGRAMS, CSIDL_RECENT,
    CSIDL_SENDTO,   CSIDL_STARTMENU, CSIDL_STARTUP,          CSIDL_WINDOWS};

}  // namespace

void KeptShellFolders::Gather(HWND owner) {
  m_folders.clear();
  m_folders.reserve(kKeptFolderIds.size());
  for (const int id : kKeptFolderIds) {
    UniquePidl folder;
    if (SUCCEEDED(SHGetSpecialFolderLocation(owner, id, folder.Put()))) {
      m_folders.push_back(std::move(folder));
    }
  }
}

bool KeptShellFolders::Contains(PCUIDLIST_RELATIVE item) const {
  for (const UniquePidl& folder : m_folders) {
    if (ILIsEqual(folder.Get(), reinterpret_cast<PCIDLIST_ABSOLUTE>(item))) return true;
  }
  return false;
}

}  // namespace zx
