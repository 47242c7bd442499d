#pragma once
// Rows 1 to 6: the time of one small request (about 1 KB of JSON each way)
// made by each kind of client, measured round after round.
#include <string>
#include <vector>

#include "harness/zxmlhttp_module.h"
#include "sample_request.h"
#include "samples.h"

namespace zxbench {

struct LatencyRow {
  const char* id;  // "1" to "6"; "5 bare" for the asynchronous floor, "5s" and
                   // "5s bare" for both against a single-instance peer
  const char* label;
  Samples msPerRequest;  // one figure per round
};

struct LatencyPlan {
  long rounds;
  long requests;        // per round, of each row the program makes itself
  long scriptRequests;  // per round, of each script row
};

// Measures every row against the echo service of sample, rows "5s" against
// singleInstance's; the WinHttp row talks to its own loopback HTTP server.
// Rows keep the order of the table.
std::vector<LatencyRow> MeasureLatency(const zx::test::ZxmlhttpModule& module,
                                       const SampleRequest& sample,
                                       const SampleRequest& singleInstance,
                                       const LatencyPlan& plan);

}  // namespace zxbench
