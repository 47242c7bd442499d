#include "scan_folders.h"

#include <windows.h>

#include <string>

namespace zx::test {
namespace {

bool MakeFolder(const std::wstring& path) {
  return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool MakeFile(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

}  // namespace

bool CreateScanFolders() {
  const std::wstring root = kScanRoot;
  bool made = MakeFolder(root);
  for (const wchar_t* folder :
       {L"\\Alpha", L"\\Beta", L"\\Beta\\Inner", L"\\KEEP.ZIP", L"\\Arch.zip", L"\\zeta"}) {
    made = MakeFolder(root + folder) && made;
  }
  for (const wchar_t* file : {L"\\Alpha\\only-file.txt", L"\\notes.txt"}) {
    made = MakeFile(root + file) && made;
  }
  return made;
}

}  // namespace zx::test
