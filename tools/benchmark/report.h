#pragma once
// The run's figures: a table on standard output, and the same figures as
// tab-separated lines for the script that writes docs/benchmarks.md.
#include <string>
#include <vector>

#include "bench_results.h"
#include "targets.h"

namespace zxbench {

void PrintReport(const BenchResults& results, const std::vector<Target>& targets);

// One record per line: a kind (latency, large, threads, soak, target), then
// its fields; false when the file cannot be written.
bool WriteResultsFile(const std::wstring& path, const BenchResults& results,
                      const std::vector<Target>& targets);

}  // namespace zxbench
