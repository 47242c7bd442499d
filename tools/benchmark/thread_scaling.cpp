#include "thread_scaling.h"

#include <atomic>
#include <thread>

#include "common/win_resources.h"
#include "object_client.h"
#include "stopwatch.h"

namespace zxbench {
namespace {

// One thread's part: its own apartment and object, ready before the start
// signal so that creating them is not timed.
void RunRequester(const zx::test::ZxmlhttpModule& module, const SampleRequest& sample,
                  long count, HANDLE start, std::atomic<long>& ready, std::atomic<bool>& failed) {
  CoInitialize(nullptr);
  {
    Microsoft::WRL::ComPtr<IZevXMLHttpRequest> object = NewRequestObject(module);
    ObjectClient client(object);
    ++ready;
    WaitForSingleObject(start, INFINITE);
    bool succeeded = object != nullptr;
    for (long i = 0; succeeded && i < count; ++i) {
      succeeded = client.Request(true, sample.url, sample.form);
    }
    if (!succeeded) failed = true;
  }
  CoUninitialize();
}

// Requests per second of all threads together, or -1.
double TimeThreads(const zx::test::ZxmlhttpModule& module, const SampleRequest& sample,
                   long threadCount, long requestsPerThread) {
  zx::UniqueHandle start(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::atomic<long> ready{0};
  std::atomic<bool> failed{false};
  std::vector<std::thread> threads;
  for (long i = 0; i < threadCount; ++i) {
    threads.emplace_back(RunRequester, std::cref(module), std::cref(sample), requestsPerThread,
                         start.Get(), std::ref(ready), std::ref(failed));
  }
  while (ready < threadCount) Sleep(1);
  Stopwatch watch;
  SetEvent(start.Get());
  for (std::thread& thread : threads) thread.join();
  const double seconds = watch.ElapsedMs() / 1000.0;
  return failed ? -1 : threadCount * requestsPerThread / seconds;
}

}  // namespace

std::vector<ThreadScalingRow> MeasureThreadScaling(const zx::test::ZxmlhttpModule& module,
                                                   const SampleRequest& sample,
                                                   const std::vector<long>& threadCounts,
                                                   long requestsPerThread, long rounds) {
  std::vector<ThreadScalingRow> rows;
  for (long count : threadCounts) rows.push_back({count, {}});
  for (long round = 0; round < rounds; ++round) {
    for (size_t row : RoundOrder(rows.size(), round)) {
      rows[row].requestsPerSecond.push_back(
          TimeThreads(module, sample, rows[row].threads, requestsPerThread));
    }
  }
  return rows;
}

}  // namespace zxbench
