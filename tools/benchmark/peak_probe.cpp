#include "peak_probe.h"

#include <cstdio>
#include <cstdlib>

#include "harness/child_process.h"
#include "harness/test_paths.h"
#include "process_memory.h"

namespace zxbench {
namespace {

constexpr DWORD kProbePatienceMs = 120000;
constexpr char kResultTag[] = "peak-growth ";

// The probe's arguments: client, then segment and pipe name of both services.
std::wstring ProbeArguments(ClientKind kind, const SampleRequest& large,
                            const SampleRequest& warm) {
  return std::wstring(ClientName(kind)) + L" " + large.segment + L" " + large.pipeName + L" " +
         warm.segment + L" " + warm.pipeName;
}

}  // namespace

double MeasurePeakGrowth(ClientKind kind, const SampleRequest& large, const SampleRequest& warm) {
  std::string output;
  const std::wstring commandLine = L"\"" + zx::test::ProgramPath() + L"\" " + kPeakProbeSwitch +
                                   L" " + ProbeArguments(kind, large, warm);
  if (zx::test::RunAndCapture(commandLine, output, kProbePatienceMs) != 0) return -1;
  const size_t at = output.find(kResultTag);
  if (at == std::string::npos) return -1;
  return std::strtod(output.c_str() + at + sizeof kResultTag - 1, nullptr);
}

int RunPeakProbe(const std::vector<std::wstring>& args) {
  ClientKind kind;
  if (args.size() != 5 || !ParseClientName(args[0], kind)) return 1;
  zx::test::ZxmlhttpModule module;
  ExchangeClients clients(module);
  const SampleRequest large = MakeSampleRequest(args[1], args[2]);
  const SampleRequest warm = MakeSampleRequest(args[3], args[4]);
  // Windows, workers and heaps are in place before the baseline is taken.
  if (!clients.Exchange(kind, warm)) return 1;
  clients.Release(kind);
  const MemorySnapshot before = TakeMemorySnapshot();
  if (!clients.Exchange(kind, large)) return 1;
  const MemorySnapshot after = TakeMemorySnapshot();
  clients.Release(kind);
  std::printf("%s%lu\n", kResultTag,
              static_cast<unsigned long>(after.peakWorkingSet - before.workingSet));
  return 0;
}

}  // namespace zxbench
