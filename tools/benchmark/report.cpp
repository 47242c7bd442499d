#include "report.h"

#include <cstdio>
#include <memory>

namespace zxbench {
namespace {

constexpr double kMegabyte = 1024.0 * 1024.0;

double LatencyRatio(const BenchResults& results, const LatencyRow& row) {
  return LatencyRatio(results, row.id, BaselineIdOf(row));
}

void PrintLatency(const BenchResults& results) {
  std::printf("Rows 1-6: one request of 1 KB JSON        ms/request   ratio\n");
  for (const LatencyRow& row : results.latency) {
    std::printf("  %-7s %-36s %8.3f   %5.2f x row %s\n", row.id, row.label,
                Median(row.msPerRequest), LatencyRatio(results, row), BaselineIdOf(row));
  }
}

void PrintLarge(const BenchResults& results) {
  std::printf("Row 7: large replies               MB/s   x bare   peak above baseline\n");
  for (const LargeReplyRow& row : results.large) {
    std::printf("  %-8s %-16ls %8.1f   %5.2f   %7.1f MB (%.2f x reply)\n",
                SizeName(row.size).c_str(), ClientName(row.client),
                Median(row.megabytesPerSecond), RateRatio(results, row),
                row.peakGrowthBytes / kMegabyte, row.peakGrowthBytes / row.size);
  }
}

void PrintThreads(const BenchResults& results) {
  std::printf("Row 8: asynchronous objects on threads   requests/s\n");
  for (const ThreadScalingRow& row : results.threads) {
    std::printf("  %3ld thread(s)                          %8.0f\n", row.threads,
                Median(row.requestsPerSecond));
  }
}

void PrintSoak(const SoakResult& soak) {
  std::printf("Row 9: after %ld requests%s: handles %ld -> %ld, private bytes %.1f -> %.1f MB\n",
              soak.requests, soak.completed ? "" : " (FAILED)", soak.handlesBefore,
              soak.handlesAfter, soak.privateBytesBefore / kMegabyte,
              soak.privateBytesAfter / kMegabyte);
}

void PrintTargets(const std::vector<Target>& targets) {
  std::printf("Targets\n");
  for (const Target& target : targets) {
    std::printf("  %-6s %-44s %10.3f %s %g\n", target.Met() ? "met" : "MISSED",
                target.name.c_str(), target.value, target.atMost ? "<=" : ">=", target.limit);
  }
}

void WriteSamples(std::FILE* file, const Samples& samples) {
  for (double sample : samples) std::fprintf(file, "\t%.6g", sample);
  std::fprintf(file, "\n");
}

}  // namespace

void PrintReport(const BenchResults& results, const std::vector<Target>& targets) {
  PrintLatency(results);
  PrintLarge(results);
  PrintThreads(results);
  PrintSoak(results.soak);
  PrintTargets(targets);
}

bool WriteResultsFile(const std::wstring& path, const BenchResults& results,
                      const std::vector<Target>& targets) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(_wfopen(path.c_str(), L"w"), &std::fclose);
  if (!file) return false;
  for (const LatencyRow& row : results.latency) {
    std::fprintf(file.get(), "latency\t%s\t%s\t%.6g\t%.6g\t%s", row.id, row.label,
                 Median(row.msPerRequest), LatencyRatio(results, row), BaselineIdOf(row));
    WriteSamples(file.get(), row.msPerRequest);
  }
  for (const LargeReplyRow& row : results.large) {
    std::fprintf(file.get(), "large\t%lu\t%ls\t%.6g\t%.6g\t%.0f", static_cast<unsigned long>(row.size),
                 ClientName(row.client), Median(row.megabytesPerSecond), RateRatio(results, row),
                 row.peakGrowthBytes);
    WriteSamples(file.get(), row.megabytesPerSecond);
  }
  for (const ThreadScalingRow& row : results.threads) {
    std::fprintf(file.get(), "threads\t%ld\t%.6g", row.threads, Median(row.requestsPerSecond));
    WriteSamples(file.get(), row.requestsPerSecond);
  }
  const SoakResult& soak = results.soak;
  std::fprintf(file.get(), "soak\t%ld\t%d\t%ld\t%ld\t%lu\t%lu\n", soak.requests, soak.completed ? 1 : 0,
               soak.handlesBefore, soak.handlesAfter, static_cast<unsigned long>(soak.privateBytesBefore),
               static_cast<unsigned long>(soak.privateBytesAfter));
  for (const Target& target : targets) {
    std::fprintf(file.get(), "target\t%s\t%.6g\t%s\t%g\t%d\n", target.name.c_str(), target.value,
                 target.atMost ? "<=" : ">=", target.limit, target.Met() ? 1 : 0);
  }
  return std::ferror(file.get()) == 0;
}

}  // namespace zxbench
