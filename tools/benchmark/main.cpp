// benchmark: the request object next to a bare pipe client and to loopback
// HTTP, every row measured in turns within one run.
//   benchmark [--tiny] [--rounds <n>] [--requests <n>] [--script-requests <n>]
//             [--results <file>]
// --tiny runs every row with the smallest counts (a smoke run, not figures).
// Exit code: 0 when every measurement succeeded (targets met or not), 1 when
// one failed, 2 on a bad command line.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "bench_services.h"
#include "harness/zxmlhttp_module.h"
#include "peak_probe.h"
#include "report.h"

using namespace zxbench;

namespace {

struct Plan {
  LatencyPlan latency{31, 200, 100};
  std::vector<std::uint32_t> largeSizes{1u << 20, 16u << 20};
  long largeRounds = 5;
  std::vector<long> threadCounts{1, 2, 4, 8};
  long requestsPerThread = 100;
  long threadRounds = 5;
  long soakRequests = 10000;
  std::wstring resultsPath;
};

Plan TinyPlan() {
  Plan plan;
  plan.latency = {1, 5, 5};
  plan.largeSizes = {64u << 10};
  plan.largeRounds = 1;
  plan.threadCounts = {1, 2};
  plan.requestsPerThread = 5;
  plan.threadRounds = 1;
  plan.soakRequests = 50;
  return plan;
}

bool ParsePositive(const wchar_t* text, long& value) {
  wchar_t* end = nullptr;
  value = std::wcstol(text, &end, 10);
  return *end == L'\0' && value > 0;
}

bool ParseArguments(const std::vector<std::wstring>& args, Plan& plan) {
  for (size_t i = 0; i < args.size(); ++i) {
    const bool hasValue = i + 1 < args.size();
    if (args[i] == L"--tiny") {
      const std::wstring resultsPath = plan.resultsPath;
      plan = TinyPlan();
      plan.resultsPath = resultsPath;
    } else if (args[i] == L"--results" && hasValue) {
      plan.resultsPath = args[++i];
    } else if (args[i] == L"--rounds" && hasValue) {
      if (!ParsePositive(args[++i].c_str(), plan.latency.rounds)) return false;
    } else if (args[i] == L"--requests" && hasValue) {
      if (!ParsePositive(args[++i].c_str(), plan.latency.requests)) return false;
    } else if (args[i] == L"--script-requests" && hasValue) {
      if (!ParsePositive(args[++i].c_str(), plan.latency.scriptRequests)) return false;
    } else {
      return false;
    }
  }
  return true;
}

int Fail(const wchar_t* message) {
  std::fwprintf(stderr, L"benchmark: %ls\n", message);
  return 1;
}

int Run(const Plan& plan) {
  zx::test::ZxmlhttpModule module;
  if (!module.Handle()) return Fail(L"zxmlhttp.dll not found beside the program");
  // The script rows create the object by its ProgID.
  if (FAILED(module.Register())) return Fail(L"zxmlhttp.dll did not register");
  BenchServices services(plan.largeSizes);
  if (!services.Started()) return Fail(L"the sample services did not start");
  std::printf(
      "%ld rounds; rows 1-6: %ld requests per round each, %ld of the script rows; "
      "medians, ratios are medians of per-round ratios\n",
      plan.latency.rounds, plan.latency.requests, plan.latency.scriptRequests);
  BenchResults results;
  results.latency =
      MeasureLatency(module, services.Echo(), services.SingleInstanceEcho(), plan.latency);
  results.large = MeasureLargeReplies(module, services.Large(), services.Echo(), plan.largeRounds);
  results.threads = MeasureThreadScaling(module, services.Echo(), plan.threadCounts,
                                         plan.requestsPerThread, plan.threadRounds);
  results.soak = MeasureSoak(module, services.Echo(), plan.soakRequests);
  const std::vector<Target> targets = EvaluateTargets(results);
  PrintReport(results, targets);
  if (!plan.resultsPath.empty() && !WriteResultsFile(plan.resultsPath, results, targets)) {
    return Fail(L"cannot write the results file");
  }
  return AllMeasured(results) ? 0 : Fail(L"a measurement failed");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> args(argv + 1, argv + argc);
  CoInitialize(nullptr);
  int status;
  if (!args.empty() && args[0] == kPeakProbeSwitch) {
    status = RunPeakProbe({args.begin() + 1, args.end()});
  } else {
    Plan plan;
    status = ParseArguments(args, plan) ? Run(plan) : 2;
    if (status == 2) {
      std::fputws(
          L"usage: benchmark [--tiny] [--rounds <n>] [--requests <n>] "
          L"[--script-requests <n>] [--results <file>]\n",
          stderr);
    }
  }
  CoUninitialize();
  return status;
}
