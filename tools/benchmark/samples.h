#pragma once
// Figures collected round by round. Rows are measured in turns within each
// round, so a ratio taken inside one round cancels the machine's drift; the
// median over the rounds drops the rounds another process disturbed.
#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

namespace zxbench {

// A negative figure marks a failed measurement.
using Samples = std::vector<double>;

inline double Median(Samples values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

inline bool AllValid(const Samples& values) {
  return !values.empty() &&
         std::none_of(values.begin(), values.end(), [](double v) { return v < 0; });
}

// The median of numerator[i] / denominator[i] over the rounds.
inline double MedianRatio(const Samples& numerator, const Samples& denominator) {
  if (!AllValid(numerator) || !AllValid(denominator) || numerator.size() != denominator.size()) {
    return -1;
  }
  Samples ratios;
  for (size_t i = 0; i < numerator.size(); ++i) ratios.push_back(numerator[i] / denominator[i]);
  return Median(ratios);
}

// The order of the rows in one round: shuffled anew each round, so that no
// row keeps following the same one (a row that follows a pause runs on a
// quieter machine), with a fixed seed so that runs compare.
inline std::vector<size_t> RoundOrder(size_t rows, long round) {
  std::vector<size_t> order(rows);
  std::iota(order.begin(), order.end(), 0);
  std::shuffle(order.begin(), order.end(), std::mt19937(static_cast<unsigned>(round) + 1));
  return order;
}

}  // namespace zxbench
