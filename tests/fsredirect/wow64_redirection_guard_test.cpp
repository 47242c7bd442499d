#include "fsredirect/wow64_redirection_guard.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "common/win_resources.h"

namespace zx {
namespace {

constexpr WORD kMachineI386 = 0x014C;
constexpr WORD kMachineAmd64 = 0x8664;
constexpr bool k64BitProcess = sizeof(void*) == 8;
constexpr WORD kOwnMachine = k64BitProcess ? kMachineAmd64 : kMachineI386;

// A kernel whose three functions record their calls and can be missing.
struct FakeKernel {
  bool hasIsWow64Process = true;
  bool hasDisable = true;
  bool hasRevert = true;
  BOOL queryAnswer = TRUE;
  BOOL underWow64 = TRUE;
  PVOID handedOutState = reinterpret_cast<PVOID>(0x5EED);
  PVOID revertedWith = nullptr;
  std::vector<std::string> calls;
};
FakeKernel g_kernel;

BOOL WINAPI FakeIsWow64Process(HANDLE process, PBOOL wow64) {
  g_kernel.calls.push_back(process == GetCurrentProcess() ? "IsWow64Process(self)"
                                                          : "IsWow64Process(other)");
  *wow64 = g_kernel.underWow64;
  return g_kernel.queryAnswer;
}

BOOL WINAPI FakeDisable(PVOID* state) {
  g_kernel.calls.push_back("Disable");
  *state = g_kernel.handedOutState;
  return TRUE;
}

BOOL WINAPI FakeRevert(PVOID state) {
  g_kernel.calls.push_back("Revert");
  g_kernel.revertedWith = state;
  return TRUE;
}

template <class Function>
FARPROC AsProc(Function function) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(function));
}

FARPROC ResolveFake(const char* name) {
  const std::string wanted = name;
  g_kernel.calls.push_back("find " + wanted);
  if (wanted == "IsWow64Process" && g_kernel.hasIsWow64Process) return AsProc(&FakeIsWow64Process);
  if (wanted == "Wow64DisableWow64FsRedirection" && g_kernel.hasDisable) return AsProc(&FakeDisable);
  if (wanted == "Wow64RevertWow64FsRedirection" && g_kernel.hasRevert) return AsProc(&FakeRevert);
  return nullptr;
}

using Calls = std::vector<std::string>;
const std::string kFindQuery = "find IsWow64Process";
const std::string kFindDisable = "find Wow64DisableWow64FsRedirection";
const std::string kFindRevert = "find Wow64RevertWow64FsRedirection";

// Runs one guard's life on the fake kernel; returns the calls made during
// construction and during destruction.
std::pair<Calls, Calls> GuardLife(const FakeKernel& kernel) {
  g_kernel = kernel;
  Calls constructed;
  {
    Wow64RedirectionGuard guard(&ResolveFake);
    constructed = g_kernel.calls;
    g_kernel.calls.clear();
  }
  return {constructed, g_kernel.calls};
}

#ifdef _WIN64
TEST(Wow64RedirectionGuard, In64BitProcessCallsNothingAndSaysSo) {
  g_kernel = FakeKernel{};
  {
    Wow64RedirectionGuard guard(&ResolveFake);
    EXPECT_EQ(guard.Outcome(), RedirectionOutcome::kNotUnderWow64);
  }
  EXPECT_TRUE(g_kernel.calls.empty());
}
#else
TEST(Wow64RedirectionGuard, UnderWow64DisablesForItsLifeAndRevertsWithTheSavedState) {
  const auto [constructed, destroyed] = GuardLife(FakeKernel{});
  EXPECT_EQ(constructed, (Calls{kFindQuery, "IsWow64Process(self)", kFindDisable, "Disable"}));
  EXPECT_EQ(destroyed, (Calls{kFindRevert, "Revert"}));
  EXPECT_EQ(g_kernel.revertedWith, g_kernel.handedOutState);
}

TEST(Wow64RedirectionGuard, OutsideWow64CallsNothingBeyondTheQuery) {
  FakeKernel native;
  native.underWow64 = FALSE;
  const auto [constructed, destroyed] = GuardLife(native);
  EXPECT_EQ(constructed, (Calls{kFindQuery, "IsWow64Process(self)"}));
  EXPECT_TRUE(destroyed.empty());
}

TEST(Wow64RedirectionGuard, MissingOrFailingQueryCountsAsNotUnderWow64) {
  FakeKernel missing;
  missing.hasIsWow64Process = false;
  auto [constructed, destroyed] = GuardLife(missing);
  EXPECT_EQ(constructed, (Calls{kFindQuery}));
  EXPECT_TRUE(destroyed.empty());

  FakeKernel failing;
  failing.queryAnswer = FALSE;  // and leaves a nonzero flag behind
  std::tie(constructed, destroyed) = GuardLife(failing);
  EXPECT_EQ(constructed, (Calls{kFindQuery, "IsWow64Process(self)"}));
  EXPECT_TRUE(destroyed.empty());
}

TEST(Wow64RedirectionGuard, MissingDisableOrRevertIsSkipped) {
  FakeKernel noDisable;
  noDisable.hasDisable = false;
  auto [constructed, destroyed] = GuardLife(noDisable);
  EXPECT_EQ(constructed, (Calls{kFindQuery, "IsWow64Process(self)", kFindDisable}));
  EXPECT_EQ(destroyed, (Calls{kFindRevert, "Revert"}));
  EXPECT_EQ(g_kernel.revertedWith, nullptr);  // the saved state stayed as it was

  FakeKernel noRevert;
  noRevert.hasRevert = false;
  std::tie(constructed, destroyed) = GuardLife(noRevert);
  EXPECT_EQ(destroyed, (Calls{kFindRevert}));
}

TEST(Wow64RedirectionGuard, ResolvesTheFunctionsAfreshForEveryGuard) {
  GuardLife(FakeKernel{});
  const auto [constructed, destroyed] = GuardLife(FakeKernel{});
  EXPECT_EQ(constructed.front(), kFindQuery);
  EXPECT_EQ(destroyed.front(), kFindRevert);
}

TEST(Wow64RedirectionGuard, OutcomeSaysWhatWasSwitched) {
  struct Case {
    BOOL underWow64;
    bool hasDisable;
    RedirectionOutcome outcome;
  } cases[] = {{TRUE, true, RedirectionOutcome::kSwitchedOff},
               {TRUE, false, RedirectionOutcome::kNotSwitchable},
               {FALSE, true, RedirectionOutcome::kNotUnderWow64}};
  for (const Case& c : cases) {
    g_kernel = FakeKernel{};
    g_kernel.underWow64 = c.underWow64;
    g_kernel.hasDisable = c.hasDisable;
    Wow64RedirectionGuard guard(&ResolveFake);
    EXPECT_EQ(guard.Outcome(), c.outcome) << c.underWow64 << c.hasDisable;
  }
}
#endif

// The machine type in the PE header of a file, 0 if it cannot be read.
WORD MachineOf(const std::wstring& path) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return 0;
  IMAGE_DOS_HEADER dos;
  DWORD read = 0;
  if (!ReadFile(file.Get(), &dos, sizeof(dos), &read, nullptr) || read != sizeof(dos)) return 0;
  SetFilePointer(file.Get(), dos.e_lfanew + sizeof(DWORD), nullptr, FILE_BEGIN);
  WORD machine = 0;
  if (!ReadFile(file.Get(), &machine, sizeof(machine), &read, nullptr)) return 0;
  return machine;
}

std::wstring SystemKernel() {
  wchar_t folder[MAX_PATH];
  GetSystemDirectoryW(folder, MAX_PATH);
  return std::wstring(folder) + L"\\kernel32.dll";
}

bool RunsUnderWow64() {
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

// In a 64-bit prefix (ZX_EXPECT_WOW64=1) the 32-bit build of this program
// runs under WOW64 and the guard must show it the real, 64-bit system
// folder; in a 32-bit prefix, and for the 64-bit build, the folder is the
// process's own with or without the guard.
TEST(Wow64RedirectionGuard, SystemFolderSeenThroughTheGuardIsTheRealOne) {
  const char* expectation = std::getenv("ZX_EXPECT_WOW64");
  const bool wow64 = RunsUnderWow64();
  if (expectation && *expectation) {
    ASSERT_EQ(wow64, std::string(expectation) == "1") << "prefix of the wrong kind";
  }
  const std::wstring kernel = SystemKernel();
  EXPECT_EQ(MachineOf(kernel), kOwnMachine);
  {
    Wow64RedirectionGuard guard;
    EXPECT_EQ(guard.Outcome(),
              wow64 ? RedirectionOutcome::kSwitchedOff : RedirectionOutcome::kNotUnderWow64);
    EXPECT_EQ(MachineOf(kernel), wow64 ? kMachineAmd64 : kOwnMachine);
  }
  EXPECT_EQ(MachineOf(kernel), kOwnMachine) << "redirection must be back on";
}

}  // namespace
}  // namespace zx
