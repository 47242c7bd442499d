// The guard against the real kernel: a 32-bit build in a 64-bit prefix
// (ZX_EXPECT_WOW64=1) sees it switch redirection off and on again. Kernels
// that lack the WOW64 functions are not tested: Wine always has them.
#include "fsredirect/wow64_redirection_guard.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/win_resources.h"

namespace zx {
namespace {

constexpr WORD kMachineI386 = 0x014C, kMachineAmd64 = 0x8664;
constexpr bool k64BitProcess = sizeof(void*) == 8;

// The machine type in the PE header of a file, 0 if it cannot be read.
WORD MachineOf(const std::wstring& path) {
  UniqueFile file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  IMAGE_DOS_HEADER dos = {};
  WORD machine = 0;
  DWORD read = 0;
  if (!file || !ReadFile(file.Get(), &dos, sizeof(dos), &read, nullptr)) return 0;
  SetFilePointer(file.Get(), dos.e_lfanew + sizeof(DWORD), nullptr, FILE_BEGIN);
  return ReadFile(file.Get(), &machine, sizeof(machine), &read, nullptr) ? machine : 0;
}

// In a 64-bit prefix (ZX_EXPECT_WOW64=1) the 32-bit build runs under WOW64
// and the guard must show it the real, 64-bit system folder; elsewhere the
// folder is the process's own with or without the guard.
TEST(Wow64RedirectionGuard, SystemFolderSeenThroughTheGuardIsTheRealOne) {
  BOOL wow64 = FALSE;
  IsWow64Process(GetCurrentProcess(), &wow64);
  const char* expected = std::getenv("ZX_EXPECT_WOW64");
  if (expected && *expected) {
    ASSERT_EQ(wow64 != FALSE, std::string(expected) == "1") << "a prefix of the wrong kind";
  }
  wchar_t folder[MAX_PATH];
  GetSystemDirectoryW(folder, MAX_PATH);
  const std::wstring kernel = std::wstring(folder) + L"\\kernel32.dll";
  const WORD own = k64BitProcess ? kMachineAmd64 : kMachineI386;
  EXPECT_EQ(MachineOf(kernel), own);
  {
    Wow64RedirectionGuard guard;
    EXPECT_EQ(guard.Outcome(),
              wow64 ? RedirectionOutcome::kSwitchedOff : RedirectionOutcome::kNotUnderWow64);
    EXPECT_EQ(MachineOf(kernel), wow64 ? kMachineAmd64 : own);
  }
  EXPECT_EQ(MachineOf(kernel), own) << "redirection must be back on";
}

}  // namespace
}  // namespace zx
