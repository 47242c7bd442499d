#include "large_replies.h"

#include "peak_probe.h"
#include "stopwatch.h"

namespace zxbench {
namespace {

constexpr double kMegabyte = 1024.0 * 1024.0;
// Each peak is the median of this many probes: one probe can catch memory
// that the process touched for something else at the time.
constexpr int kPeakProbes = 3;
// Enough exchanges per turn that each turn lasts a while.
constexpr std::uint32_t kBytesPerTurn = 4u << 20;

long ExchangesPerTurn(std::uint32_t size) { return size >= kBytesPerTurn ? 1 : kBytesPerTurn / size; }

// Megabytes per second over one turn, or -1. Reading the object's reply as
// text is the page's own work and not counted.
double TimeTurn(ExchangeClients& clients, ClientKind kind, const LargeReplyTarget& target) {
  const long count = ExchangesPerTurn(target.size);
  double milliseconds = 0;
  for (long i = 0; i < count; ++i) {
    Stopwatch watch;
    const bool exchanged = clients.Exchange(kind, target.request);
    milliseconds += watch.ElapsedMs();
    clients.Release(kind);
    if (!exchanged) return -1;
  }
  return count * (target.size / kMegabyte) / (milliseconds / 1000.0);
}

double MedianPeakGrowth(ClientKind kind, const SampleRequest& large, const SampleRequest& warm) {
  Samples peaks;
  for (int probe = 0; probe < kPeakProbes; ++probe) {
    peaks.push_back(MeasurePeakGrowth(kind, large, warm));
  }
  return AllValid(peaks) ? Median(peaks) : -1;
}

}  // namespace

std::vector<LargeReplyRow> MeasureLargeReplies(const zx::test::ZxmlhttpModule& module,
                                               const std::vector<LargeReplyTarget>& targets,
                                               const SampleRequest& warm, long rounds) {
  std::vector<LargeReplyRow> rows;
  for (const LargeReplyTarget& target : targets) {
    for (ClientKind kind : kAllClients) rows.push_back({target.size, kind, {}, -1});
  }
  const auto targetOf = [&](size_t row) -> const LargeReplyTarget& {
    return targets[row / std::size(kAllClients)];
  };
  ExchangeClients clients(module);
  for (ClientKind kind : kAllClients) {
    clients.Exchange(kind, warm);
    clients.Release(kind);
  }
  for (long round = 0; round < rounds; ++round) {
    for (size_t row : RoundOrder(rows.size(), round)) {
      rows[row].megabytesPerSecond.push_back(TimeTurn(clients, rows[row].client, targetOf(row)));
    }
  }
  for (size_t row = 0; row < rows.size(); ++row) {
    rows[row].peakGrowthBytes = MedianPeakGrowth(rows[row].client, targetOf(row).request, warm);
  }
  return rows;
}

}  // namespace zxbench
