#pragma once
// Row 8: several request objects, each on its own thread with its own
// message loop, making asynchronous requests at the same time.
#include <vector>

#include "harness/zxmlhttp_module.h"
#include "sample_request.h"
#include "samples.h"

namespace zxbench {

struct ThreadScalingRow {
  long threads;
  Samples requestsPerSecond;  // all threads together, one figure per round
};

std::vector<ThreadScalingRow> MeasureThreadScaling(const zx::test::ZxmlhttpModule& module,
                                                   const SampleRequest& sample,
                                                   const std::vector<long>& threadCounts,
                                                   long requestsPerThread, long rounds);

}  // namespace zxbench
