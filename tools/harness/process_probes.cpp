#include "harness/process_probes.h"

#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>

#include "common/win_resources.h"

namespace zx::test {
namespace {

// One entry of the system's handle list, as both the system and Wine lay it out.
struct SystemHandleEntry {
  USHORT processId;
  USHORT creatorBackTraceIndex;
  UCHAR objectType;
  UCHAR attributes;
  USHORT handle;
  PVOID object;
  ACCESS_MASK access;
};

struct SystemHandleList {
  ULONG count;
  SystemHandleEntry entries[1];
};

constexpr ULONG kSystemHandleInformation = 16;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);

using QuerySystemInformation = NTSTATUS(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

// The system's handle list counted for this process. The list keeps 16
// bits of each process id.
bool CountHandlesFromSystemList(DWORD& count) {
  const DWORD self = GetCurrentProcessId();
  const auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (!query || self > 0xFFFF) return false;
  std::vector<char> buffer(1 << 16);
  NTSTATUS status;
  while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                         nullptr)) == kInfoLengthMismatch &&
         buffer.size() < (64u << 20)) {
    buffer.resize(buffer.size() * 2);
  }
  if (status != 0) return false;
  const auto* list = reinterpret_cast<const SystemHandleList*>(buffer.data());
  count = 0;
  for (ULONG i = 0; i < list->count; ++i) {
    if (list->entries[i].processId == self) ++count;
  }
  return true;
}

// Probing every handle value (multiples of 4) takes the better part of a
// second under Wine: only where the system list is not available.
DWORD ProbeHandleTable() {
  constexpr ULONG_PTR kHighestProbed = 0x10000;
  DWORD count = 0;
  for (ULONG_PTR value = 4; value < kHighestProbed; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

std::string Signed(long long value, const char* unit) {
  return (value >= 0 ? "+" : "") + std::to_string(value) + unit;
}

}  // namespace

std::vector<HWND> CallbackWindowsOf(DWORD threadId) {
  std::vector<HWND> windows;
  HWND window = nullptr;
  while ((window = FindWindowExW(HWND_MESSAGE, window, L"ZevXMLHttpRequestClass", nullptr))) {
    if (GetWindowThreadProcessId(window, nullptr) == threadId) windows.push_back(window);
  }
  return windows;
}

int ThreadsOfThisProcess() {
  const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  THREADENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  int count = 0;
  for (BOOL more = Thread32First(snapshot.Get(), &entry); more;
       more = Thread32Next(snapshot.Get(), &entry)) {
    count += entry.th32OwnerProcessID == GetCurrentProcessId();
  }
  return count;
}

// GetProcessHandleCount answers 0 under Wine.
DWORD ProcessHandleCount() {
  DWORD count = 0;
  return CountHandlesFromSystemList(count) ? count : ProbeHandleTable();
}

ResourceUsage MeasureUsage() {
  ResourceUsage usage;
  usage.handles = ProcessHandleCount();
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof(counters);
  if (K32GetProcessMemoryInfo(GetCurrentProcess(),
                              reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof(counters))) {
    // Wine reports the commit charge only as the page-file usage.
    usage.privateBytes = std::max(counters.PrivateUsage, counters.PagefileUsage);
  }
  return usage;
}

std::string DescribeGrowth(const ResourceUsage& before, const ResourceUsage& after) {
  const long long handles = static_cast<long long>(after.handles) - before.handles;
  const long long kib =
      (static_cast<long long>(after.privateBytes) - static_cast<long long>(before.privateBytes)) /
      1024;
  return "handles " + Signed(handles, "") + ", private bytes " + Signed(kib, " KiB");
}

}  // namespace zx::test
