#include "bench_results.h"

#include <cstring>

namespace zxbench {
namespace {

const LatencyRow* FindLatency(const BenchResults& results, const char* id) {
  for (const LatencyRow& row : results.latency) {
    if (std::strcmp(row.id, id) == 0) return &row;
  }
  return nullptr;
}

}  // namespace

bool AllMeasured(const BenchResults& results) {
  bool measured = results.soak.completed;
  for (const LatencyRow& row : results.latency) measured &= AllValid(row.msPerRequest);
  for (const LargeReplyRow& row : results.large) {
    measured &= AllValid(row.megabytesPerSecond) && row.peakGrowthBytes >= 0;
  }
  for (const ThreadScalingRow& row : results.threads) measured &= AllValid(row.requestsPerSecond);
  return measured;
}

const char* BaselineIdOf(const LatencyRow& row) {
  if (std::strcmp(row.id, "5") == 0) return "5 bare";
  if (std::strcmp(row.id, "5s") == 0) return "5s bare";
  return "1";
}

double LatencyRatio(const BenchResults& results, const char* id, const char* baseId) {
  const LatencyRow* row = FindLatency(results, id);
  const LatencyRow* base = FindLatency(results, baseId);
  return row && base ? MedianRatio(row->msPerRequest, base->msPerRequest) : -1;
}

const LargeReplyRow* FindLarge(const BenchResults& results, std::uint32_t size, ClientKind client) {
  for (const LargeReplyRow& row : results.large) {
    if (row.size == size && row.client == client) return &row;
  }
  return nullptr;
}

double RateRatio(const BenchResults& results, const LargeReplyRow& row) {
  const LargeReplyRow* bare = FindLarge(results, row.size, BareClientOf(row.client));
  return bare ? MedianRatio(row.megabytesPerSecond, bare->megabytesPerSecond) : -1;
}

std::string SizeName(std::uint32_t bytes) {
  constexpr std::uint32_t kMegabyte = 1u << 20;
  return bytes % kMegabyte == 0 ? std::to_string(bytes / kMegabyte) + " MB"
                                : std::to_string(bytes >> 10) + " KB";
}

}  // namespace zxbench
