#pragma once
// The figures the benchmark holds the request object to, each a ratio taken
// within one run.
#include <cmath>
#include <string>
#include <vector>

#include "bench_results.h"

namespace zxbench {

struct Target {
  std::string name;
  double value;  // NaN when the figures behind it are missing
  double limit;
  bool atMost;   // value <= limit, else value >= limit
  bool Met() const { return atMost ? value <= limit : value >= limit; }  // false for NaN
};

std::vector<Target> EvaluateTargets(const BenchResults& results);

}  // namespace zxbench
