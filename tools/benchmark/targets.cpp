#include "targets.h"

#include <cmath>
#include <cstring>

namespace zxbench {
namespace {

// Growth that 10,000 requests may leave without counting as a leak: a
// handle cached by the system, heap pages that settle later.
constexpr double kHandleNoise = 2;
constexpr double kPrivateBytesNoise = 256.0 * 1024;

const double kMissing = std::nan("");

// Ratios come back negative when a measurement failed.
double Known(double ratio) { return ratio >= 0 ? ratio : kMissing; }

double KnownLatencyRatio(const BenchResults& results, const char* id, const char* baseId) {
  return Known(LatencyRatio(results, id, baseId));
}

const LargeReplyRow* LargestOf(const BenchResults& results, ClientKind client) {
  const LargeReplyRow* largest = nullptr;
  for (const LargeReplyRow& row : results.large) {
    if (row.client == client && (!largest || row.size > largest->size)) largest = &row;
  }
  return largest;
}

// The object's rate against its bare client's, at the largest size.
double LargestRateRatio(const BenchResults& results, ClientKind object) {
  const LargeReplyRow* row = LargestOf(results, object);
  return row ? Known(RateRatio(results, *row)) : kMissing;
}

double PeakPerReply(const BenchResults& results, ClientKind object) {
  const LargeReplyRow* row = LargestOf(results, object);
  return row && row->peakGrowthBytes >= 0 ? row->peakGrowthBytes / row->size : kMissing;
}

// responseText's own time at the largest size, against the bare client's
// whole transfer: the time with the text less the time without it, each
// from the median rate of its row.
double TextTimePerBareTime(const BenchResults& results) {
  const LargeReplyRow* withText = LargestOf(results, ClientKind::kObjectSyncText);
  const LargeReplyRow* without = LargestOf(results, ClientKind::kObjectSync);
  const LargeReplyRow* bare = LargestOf(results, ClientKind::kBareBlocking);
  if (!withText || !without || !bare) return kMissing;
  const auto seconds = [](const LargeReplyRow* row) { return 1 / Median(row->megabytesPerSecond); };
  return Known((seconds(withText) - seconds(without)) / seconds(bare));
}

std::string LargestSizeName(const BenchResults& results) {
  const LargeReplyRow* row = LargestOf(results, ClientKind::kBareBlocking);
  return row ? SizeName(row->size) : "largest";
}

}  // namespace

std::vector<Target> EvaluateTargets(const BenchResults& results) {
  const std::string large = LargestSizeName(results);
  const SoakResult& soak = results.soak;
  const double handleGrowth =
      soak.completed ? static_cast<double>(soak.handlesAfter) - soak.handlesBefore : kMissing;
  const double byteGrowth =
      soak.completed ? static_cast<double>(soak.privateBytesAfter) - soak.privateBytesBefore
                     : kMissing;
  return {
      {"row 2 / row 1 (interface)", KnownLatencyRatio(results, "2", "1"), 1.10, true},
      {"row 3 / row 1 (IDispatch)", KnownLatencyRatio(results, "3", "1"), 1.15, true},
      {"row 4 / row 1 (JScript)", KnownLatencyRatio(results, "4", "1"), 1.50, true},
      {"row 5 / its bare client (asynchronous)", KnownLatencyRatio(results, "5", "5 bare"), 1.25,
       true},
      {"row 5s / its bare client (single-instance peer)",
       KnownLatencyRatio(results, "5s", "5s bare"), 1.25, true},
      {"row 6 / row 4 (HTTP against the pipe)", KnownLatencyRatio(results, "6", "4"), 3.0, false},
      {large + " synchronous rate / bare", LargestRateRatio(results, ClientKind::kObjectSync), 0.80,
       false},
      {large + " asynchronous rate / bare", LargestRateRatio(results, ClientKind::kObjectAsync),
       0.80, false},
      {large + " synchronous peak / reply size", PeakPerReply(results, ClientKind::kObjectSync),
       1.5, true},
      {large + " asynchronous peak / reply size", PeakPerReply(results, ClientKind::kObjectAsync),
       1.5, true},
      {large + " responseText time / bare transfer time", TextTimePerBareTime(results), 0.25, true},
      {large + " with text, synchronous rate / bare",
       LargestRateRatio(results, ClientKind::kObjectSyncText), 0.70, false},
      {large + " with text, asynchronous rate / bare",
       LargestRateRatio(results, ClientKind::kObjectAsyncText), 0.70, false},
      // The bytes and one UTF-16 copy of them.
      {large + " with text, peak / reply size", PeakPerReply(results, ClientKind::kObjectSyncText),
       3.0, true},
      // The bytes and one array copy.
      {large + " with responseBody, peak / reply size",
       PeakPerReply(results, ClientKind::kObjectSyncBody), 2.0, true},
      {"row 9 handle growth", handleGrowth, kHandleNoise, true},
      {"row 9 private byte growth", byteGrowth, kPrivateBytesNoise, true},
  };
}

}  // namespace zxbench
