#include "latency_rows.h"

#include <functional>

#include "bare_clients.h"
#include "dispatch_client.h"
#include "loopback_http_server.h"
#include "object_client.h"
#include "script_loop.h"
#include "stopwatch.h"

namespace zxbench {
namespace {

using Turn = std::function<double(long count)>;

// Requests made untimed before each timed turn, so that a turn does not
// start in the wake of the previous one (a script host that has just ended,
// another client's connection still closing).
constexpr long kSettleRequests = 20;

double SettledTimePerCall(long count, const std::function<bool()>& one) {
  if (TimePerCall(kSettleRequests, one) < 0) return -1;
  return TimePerCall(count, one);
}

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
  DispatchClient byName;
  OverlappedClient overlapped;
  LoopbackHttpServer http;
  std::string reply;
};

std::wstring HttpUrl(unsigned short port, const SampleRequest& sample) {
  return L"http://127.0.0.1:" + std::to_wstring(port) + L"/zev-cgi-bin/" + sample.segment +
         L"/query";
}

// One turn per row, in the order of the rows; each times count requests.
std::vector<Turn> TurnsOf(LatencyClients& c, const SampleRequest& s) {
  return {
      [&](long n) {
        return SettledTimePerCall(n, [&] { return BlockingExchange(s.pipePath, s.frame, c.reply); });
      },
      [&](long n) {
        return SettledTimePerCall(n, [&] { return c.syncObject.Request(false, s.url, s.form); });
      },
      [&](long n) { return SettledTimePerCall(n, [&] { return c.byName.Request(s.url, s.form); }); },
      [&](long n) { return TimeScriptLoop(ScriptClient::RequestObject, s.url, s.encodedJson, n); },
      [&](long n) {
        return SettledTimePerCall(n, [&] { return c.asyncObject.Request(true, s.url, s.form); });
      },
      [&](long n) {
        return SettledTimePerCall(
            n, [&] { return c.overlapped.Exchange(s.pipePath, s.frame, c.reply); });
      },
      [&](long n) {
        if (!c.http.Port()) return -1.0;
        return TimeScriptLoop(ScriptClient::WinHttp, HttpUrl(c.http.Port(), s), s.encodedJson, n);
      },
  };
}

}  // namespace

std::vector<LatencyRow> MeasureLatency(const zx::test::ZxmlhttpModule& module,
                                       const SampleRequest& sample, const LatencyPlan& plan) {
  std::vector<LatencyRow> rows = {
      {"1", "bare client, blocking", {}},
      {"2", "object, interface, synchronous", {}},
      {"3", "object, IDispatch by name", {}},
      {"4", "object from JScript", {}},
      {"5", "object, asynchronous", {}},
      {"5 bare", "bare client, completion port", {}},
      {"6", "WinHttp from JScript, loopback HTTP", {}},
  };
  LatencyClients clients(module);
  const std::vector<Turn> turns = TurnsOf(clients, sample);
  // A few requests each first: code paths, windows and worker pools warm.
  for (const Turn& turn : turns) turn(5);
  for (long round = 0; round < plan.rounds; ++round) {
    for (size_t row : RoundOrder(turns.size(), round)) {
      rows[row].msPerRequest.push_back(turns[row](plan.requestsPerTurn));
    }
  }
  return rows;
}

}  // namespace zxbench
