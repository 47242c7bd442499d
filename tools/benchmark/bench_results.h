#pragma once
// Everything one run measured, and the comparisons the report and the
// targets draw from it.
#include <string>
#include <vector>

#include "large_replies.h"
#include "latency_rows.h"
#include "soak.h"
#include "thread_scaling.h"

namespace zxbench {

struct BenchResults {
  std::vector<LatencyRow> latency;
  std::vector<LargeReplyRow> large;
  std::vector<ThreadScalingRow> threads;
  SoakResult soak;
};

// Whether every measurement of the run succeeded.
bool AllMeasured(const BenchResults& results);

// The row a latency row is reported against: its bare client.
const char* BaselineIdOf(const LatencyRow& row);
// Median over the rounds of row id's time / row baseId's time; negative
// when either is missing or failed.
double LatencyRatio(const BenchResults& results, const char* id, const char* baseId);

const LargeReplyRow* FindLarge(const BenchResults& results, std::uint32_t size, ClientKind client);
// Median over the rounds of the row's rate / its bare client's rate.
double RateRatio(const BenchResults& results, const LargeReplyRow& row);
// "16 MB", "64 KB".
std::string SizeName(std::uint32_t bytes);

}  // namespace zxbench
