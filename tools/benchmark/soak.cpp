#include "soak.h"

#include "harness/process_probes.h"
#include "object_client.h"

namespace zxbench {
namespace {

// Enough first requests that the object's window, workers and caches exist
// and the heaps have settled before the baseline.
constexpr long kWarmUpRequests = 200;

bool RunRequests(ObjectClient& client, const SampleRequest& sample, long count) {
  for (long i = 0; i < count; ++i) {
    if (!client.Request(i % 2 == 1, sample.url, sample.form)) return false;
  }
  return true;
}

}  // namespace

SoakResult MeasureSoak(const zx::test::ZxmlhttpModule& module, const SampleRequest& sample,
                       long requests) {
  Microsoft::WRL::ComPtr<IZevXMLHttpRequest> object = NewRequestObject(module);
  ObjectClient client(object);
  SoakResult result = {requests, false, 0, 0, 0, 0};
  if (!object || !RunRequests(client, sample, kWarmUpRequests)) return result;
  const zx::test::ResourceUsage before = zx::test::MeasureUsage();
  result.completed = RunRequests(client, sample, requests);
  const zx::test::ResourceUsage after = zx::test::MeasureUsage();
  result.handlesBefore = before.handles;
  result.handlesAfter = after.handles;
  result.privateBytesBefore = before.privateBytes;
  result.privateBytesAfter = after.privateBytes;
  return result;
}

}  // namespace zxbench
