#pragma once
// Row 7: replies of a megabyte and more, from the bare clients and from the
// object in both modes: the rate each reaches, and the peak memory one
// exchange adds to its process.
#include <cstdint>
#include <vector>

#include "exchange_clients.h"
#include "harness/zxmlhttp_module.h"
#include "sample_request.h"
#include "samples.h"

namespace zxbench {

struct LargeReplyTarget {
  std::uint32_t size;     // bytes of every reply of this service
  SampleRequest request;  // the small request that asks for it
};

struct LargeReplyRow {
  std::uint32_t size;
  ClientKind client;
  Samples megabytesPerSecond;  // one figure per round
  double peakGrowthBytes;      // -1 when the probe failed
};

// Rows ordered by size, then in the order of kAllClients. warm is the
// small-reply service the memory probes warm up with.
std::vector<LargeReplyRow> MeasureLargeReplies(const zx::test::ZxmlhttpModule& module,
                                               const std::vector<LargeReplyTarget>& targets,
                                               const SampleRequest& warm, long rounds);

}  // namespace zxbench
