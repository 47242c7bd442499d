#pragma once
// Rows 1 to 6: the time of one small request (about 1 KB of JSON each way)
// made by each kind of client, measured round after round.
#include <string>
#include <vector>

#include "samples.h"
#include "sample_request.h"
#include "support/zxmlhttp_module.h"

namespace zxbench {

struct LatencyRow {
  const char* id;     // "1" to "6"; "5 bare" for the asynchronous floor
  const char* label;
  Samples msPerRequest;  // one figure per round
};

struct LatencyPlan {
  long rounds;
  long requests;        // per round, of each row the program makes itself
  long scriptRequests;  // per round, of each script row
};

// Measures every row against the echo service of sample; the WinHttp row
// talks to its own loopback HTTP server. Rows keep the order above.
std::vector<LatencyRow> MeasureLatency(const zx::test::ZxmlhttpModule& module,
                                       const SampleRequest& sample, const LatencyPlan& plan);

}  // namespace zxbench
