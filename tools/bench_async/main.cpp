// bench_async: the time of sequential requests on one request object, made
// asynchronously (the workers answer, the handler runs from this thread's
// message loop) and synchronously, against a local sample service.
#include <windows.h>
#include <wrl/client.h>

#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>

#include "support/message_pump.h"
#include "support/process_probes.h"
#include "support/request_driver.h"
#include "support/recording_handler.h"
#include "support/sample_service_process.h"
#include "support/zxmlhttp_module.h"

using Microsoft::WRL::ComPtr;
using namespace zx::test;

namespace {

constexpr long kDefaultCount = 1000;
const wchar_t kJson[] = L"%7B%22bench%22%3Atrue%7D";

bool OneAsynchronous(RequestDriver& request, const std::wstring& segment,
                     RecordingHandler& complete) {
  const LONG before = complete.calls;
  if (request.OpenService(segment, true) != S_OK) return false;
  request->put_onreadystatechange(&complete);
  if (request.Send(kJson) != S_OK) return false;
  if (!PumpMessagesUntil([&] { return complete.calls > before; })) return false;
  return !request.ResponseText().empty();
}

bool OneSynchronous(RequestDriver& request, const std::wstring& segment) {
  if (request.OpenService(segment, false) != S_OK) return false;
  if (request.Send(kJson) != S_OK) return false;
  return !request.ResponseText().empty();
}

// Milliseconds for count rounds, or a negative number when one failed.
double Time(long count, const std::function<bool()>& round) {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  for (long i = 0; i < count; ++i) {
    if (!round()) return -1;
  }
  QueryPerformanceCounter(&end);
  return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

void Report(const wchar_t* mode, long count, double ms) {
  if (ms < 0) {
    std::wprintf(L"%-13ls failed\n", mode);
  } else {
    std::wprintf(L"%-13ls %8.0f ms  %7.3f ms per request\n", mode, ms, ms / count);
  }
}

int Run(long count) {
  ZxmlhttpModule module;
  if (!module.Handle()) return std::fputws(L"bench_async: zxmlhttp.dll not found\n", stderr), 1;
  const std::wstring segment = UniqueName(L"zxbench");
  SampleServiceProcess service(L"--segment " + segment + L" --pipe " + segment);
  if (!service.Started()) return std::fputws(L"bench_async: no sample service\n", stderr), 1;
  ComPtr<IZevXMLHttpRequest> object;
  if (module.Create(CLSID_ZevXMLHttpRequest, IID_IZevXMLHttpRequest, &object) != S_OK) return 1;
  RequestDriver request(object);
  RecordingHandler complete;

  std::wprintf(L"%ld sequential requests on one object:\n", count);
  Report(L"asynchronous", count,
         Time(count, [&] { return OneAsynchronous(request, segment, complete); }));
  Report(L"synchronous", count, Time(count, [&] { return OneSynchronous(request, segment); }));
  request.Reset();
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const long count = argc > 1 ? std::wcstol(argv[1], nullptr, 10) : kDefaultCount;
  if (count <= 0) return std::fputws(L"usage: bench_async [count]\n", stderr), 2;
  CoInitialize(nullptr);
  const int status = Run(count);
  CoUninitialize();
  return status;
}
