#include "reliability/resource_usage.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <vector>

#include "harness/process_probes.h"

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

// The system's handle list counted for this process: one call instead of
// probing every possible handle value, which takes the better part of a
// second under Wine. The list keeps 16 bits of each process id.
bool CountHandlesFromSystemList(DWORD& count) {
  const DWORD self = GetCurrentProcessId();
  const auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (!query || self > 0xFFFF) return false;
  std::vector<char> buffer(1 << 16);
  NTSTATUS status;
  while ((status = query(kSystemHandleInformation, buffer.data(),
                         static_cast<ULONG>(buffer.size()), nullptr)) == kInfoLengthMismatch &&
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

std::string Signed(long long value, const char* unit) {
  return (value >= 0 ? "+" : "") + std::to_string(value) + unit;
}

}  // namespace

ResourceUsage MeasureUsage() {
  ResourceUsage usage;
  if (!CountHandlesFromSystemList(usage.handles)) usage.handles = ProcessHandleCount();
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof(counters);
  if (K32GetProcessMemoryInfo(GetCurrentProcess(),
                              reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof(counters))) {
    // The commit charge; Wine reports it only as the page-file usage.
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
