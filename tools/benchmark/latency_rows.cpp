#include "latency_rows.h"

#include <functional>

#include "bare_clients.h"
#include "loopback_http_server.h"
#include "object_client.h"
#include "script_loop.h"
#include "stopwatch.h"

namespace zxbench {
namespace {

using Request = std::function<bool()>;
using ScriptTurn = std::function<double(long count)>;

// The rows made from this program are timed in small batches taken in turns,
// so that within a round every one of them meets the same load; a round's
// figure for a row is its time over all its batches.
constexpr long kBatchRequests = 5;

// The rows, in the order of the table.
enum Row : size_t {
  kBare,
  kInterface,
  kDispatch,
  kScript,
  kAsync,
  kAsyncBare,
  kSingleAsync,
  kSingleAsyncBare,
  kWinHttp
};

Microsoft::WRL::ComPtr<IDispatch> NewDispatchObject(const zx::test::ZxmlhttpModule& module) {
  Microsoft::WRL::ComPtr<IDispatch> object;
  NewRequestObject(module).As(&object);
  return object;
}

// Everything the rows talk through, alive for the whole measurement.
struct LatencyClients {
  explicit LatencyClients(const zx::test::ZxmlhttpModule& module)
      : syncObject(NewRequestObject(module)),
        asyncObject(NewRequestObject(module)),
        byName(NewDispatchObject(module)) {}

  ObjectClient syncObject;
  ObjectClient asyncObject;
  Microsoft::WRL::ComPtr<IDispatch> byName;
  OverlappedClient overlapped;
  LoopbackHttpServer http;
  std::string reply;
};

std::wstring HttpUrl(unsigned short port, const SampleRequest& sample) {
  return L"http://127.0.0.1:" + std::to_wstring(port) + L"/zev-cgi-bin/" + sample.segment +
         L"/query";
}

// One request of each row made from this program, indexed by Row; the
// single-instance rows talk to peer s1.
std::vector<std::pair<Row, Request>> InProcessRequests(LatencyClients& c, const SampleRequest& s,
                                                       const SampleRequest& s1) {
  return {
      {kBare, [&] { return BlockingExchange(s.pipePath, s.frame, c.reply); }},
      {kInterface, [&] { return c.syncObject.Request(false, s.url, s.form); }},
      {kDispatch, [&] { return RequestByName(c.byName.Get(), s.url, s.form); }},
      {kAsync, [&] { return c.asyncObject.Request(true, s.url, s.form); }},
      {kAsyncBare, [&] { return c.overlapped.Exchange(s.pipePath, s.frame, c.reply); }},
      {kSingleAsync, [&] { return c.asyncObject.Request(true, s1.url, s1.form); }},
      {kSingleAsyncBare, [&] { return c.overlapped.Exchange(s1.pipePath, s1.frame, c.reply); }},
  };
}

// The script rows: each turn is one run of the script host.
std::vector<std::pair<Row, ScriptTurn>> ScriptTurns(LatencyClients& c, const SampleRequest& s) {
  return {
      {kScript,
       [&](long n) {
         return TimeScriptLoop(ScriptClient::kRequestObject, s.url, s.encodedJson, n);
       }},
      {kWinHttp,
       [&](long n) {
         if (!c.http.Port()) return -1.0;
         return TimeScriptLoop(ScriptClient::kWinHttp, HttpUrl(c.http.Port(), s), s.encodedJson, n);
       }},
  };
}

// count requests of each in-process row in batches, the rows' order shuffled
// for every batch; milliseconds per request of each (-1 when one failed).
void TimeInterleaved(const std::vector<std::pair<Row, Request>>& requests, long count, long round,
                     std::vector<LatencyRow>& rows) {
  std::vector<double> milliseconds(requests.size(), 0);
  const long batches = (count + kBatchRequests - 1) / kBatchRequests;
  for (long batch = 0; batch < batches; ++batch) {
    for (size_t i : RoundOrder(requests.size(), round * batches + batch)) {
      const double perRequest = TimePerCall(kBatchRequests, requests[i].second);
      milliseconds[i] = milliseconds[i] < 0 || perRequest < 0 ? -1 : milliseconds[i] + perRequest;
    }
  }
  for (size_t i = 0; i < requests.size(); ++i) {
    rows[requests[i].first].msPerRequest.push_back(milliseconds[i] < 0 ? -1
                                                                       : milliseconds[i] / batches);
  }
}

}  // namespace

std::vector<LatencyRow> MeasureLatency(const zx::test::ZxmlhttpModule& module,
                                       const SampleRequest& sample,
                                       const SampleRequest& singleInstance,
                                       const LatencyPlan& plan) {
  std::vector<LatencyRow> rows = {
      {"1", "bare client, blocking", {}},
      {"2", "object, interface, synchronous", {}},
      {"3", "object, IDispatch by name", {}},
      {"4", "object from JScript", {}},
      {"5", "object, asynchronous", {}},
      {"5 bare", "bare client, completion port", {}},
      {"5s", "object, async, single-instance peer", {}},
      {"5s bare", "bare port client, single-instance", {}},
      {"6", "WinHttp from JScript, loopback HTTP", {}},
  };
  LatencyClients clients(module);
  const auto requests = InProcessRequests(clients, sample, singleInstance);
  const auto scripts = ScriptTurns(clients, sample);
  // A few requests each first: code paths, windows and worker pools warm.
  for (const auto& request : requests) TimePerCall(kBatchRequests, request.second);
  for (const auto& script : scripts) script.second(kBatchRequests);
  // Each round: the in-process block and the two script turns, in an order
  // shuffled anew for each round.
  for (long round = 0; round < plan.rounds; ++round) {
    for (size_t part : RoundOrder(scripts.size() + 1, round)) {
      if (part == scripts.size()) {
        TimeInterleaved(requests, plan.requests, round, rows);
      } else {
        const auto& [row, turn] = scripts[part];
        rows[row].msPerRequest.push_back(turn(plan.scriptRequests));
      }
    }
  }
  return rows;
}

}  // namespace zxbench
