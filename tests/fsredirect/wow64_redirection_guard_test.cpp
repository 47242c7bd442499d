#include "fsredirect/wow64_redirection_guard.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/win_resources.h"

namespace zx {
namespace {

constexpr WORD kMachineI386 = 0x014C, kMachineAmd64 = 0x8664;
constexpr bool k64BitProcess = sizeof(void*) == 8;
PVOID const kSaved = reinterpret_cast<PVOID>(0x5EED);

// The fake kernel has the functions its letters name ('Q' IsWow64Process,
// 'D' and 'R' the disable and the revert), runs the process under WOW64
// with 'w' and fails the query with 'f'; g_calls records what was called.
std::string g_kernel, g_calls;
PVOID g_revertedWith;
bool Has(char part) { return g_kernel.find(part) != std::string::npos; }

BOOL WINAPI FakeQuery(HANDLE process, PBOOL wow64) {
  g_calls += process == GetCurrentProcess() ? "Q" : "Q(other)";
  *wow64 = Has('w');
  return !Has('f');
}
BOOL WINAPI FakeDisable(PVOID* state) {
  g_calls += "D";
  *state = kSaved;
  return TRUE;
}
BOOL WINAPI FakeRevert(PVOID state) {
  g_calls += "R";
  g_revertedWith = state;
  return TRUE;
}
FARPROC ResolveFake(const char* name) {
  const struct {
    const char* name;
    char part;
    void* function;
  } functions[] = {{"IsWow64Process", 'Q', reinterpret_cast<void*>(&FakeQuery)},
                   {"Wow64DisableWow64FsRedirection", 'D', reinterpret_cast<void*>(&FakeDisable)},
                   {"Wow64RevertWow64FsRedirection", 'R', reinterpret_cast<void*>(&FakeRevert)}};
  for (const auto& function : functions) {
    if (function.name == std::string(name) && Has(function.part)) {
      return reinterpret_cast<FARPROC>(function.function);
    }
  }
  return nullptr;
}

// A 64-bit process calls nothing whatever the kernel; a 32-bit one looks
// every function up afresh for each guard, as the order of the rows shows.
TEST(Wow64RedirectionGuard, CallsWhatTheKernelHasAndRevertsWithTheSavedState) {
  using Outcome = RedirectionOutcome;
  const struct Case {
    const char *kernel, *made, *destroyed;
    Outcome outcome;
    PVOID revertedWith;
  } cases[] = {
      {"QDRw", "QD", "R", Outcome::kSwitchedOff, kSaved},
      {"QDR", "Q", "", Outcome::kNotUnderWow64, nullptr},
      {"DRw", "", "", Outcome::kNotUnderWow64, nullptr},
      {"QDRwf", "Q", "", Outcome::kNotUnderWow64, nullptr},  // with a nonzero flag left
      {"QRw", "Q", "R", Outcome::kNotSwitchable, nullptr},
      {"QDw", "QD", "", Outcome::kSwitchedOff, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kernel);
    g_kernel = c.kernel;
    g_revertedWith = nullptr;
    g_calls.clear();
    {
      Wow64RedirectionGuard guard(&ResolveFake);
      EXPECT_EQ(guard.Outcome(), k64BitProcess ? Outcome::kNotUnderWow64 : c.outcome);
      EXPECT_EQ(g_calls, k64BitProcess ? "" : c.made);
    }
    EXPECT_EQ(g_calls, k64BitProcess ? "" : std::string(c.made) + c.destroyed);
    EXPECT_EQ(g_revertedWith, k64BitProcess ? nullptr : c.revertedWith);
  }
}

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
