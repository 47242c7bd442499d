#pragma once
// What the completion-port workers need from the request object while they
// finish an exchange. Every call may come from a worker thread; none of
// them runs script code.
#include <windows.h>
#include <wrl/client.h>

#include <string>

#include "request/ready_state_sink.h"

namespace zx {

struct IAsyncExchangeSink : IReadyStateSink {
  // The exchange's last word, given in one step so that no open can come
  // between its parts: the response is stored (finalState 4 only),
  // readyState becomes finalState (4 or 5), and the object may start its
  // next request. Returns, when takeHandler is set, the handler for finalState
  // (4 or 5) with a reference of its own for the posted message, or null.
  virtual Microsoft::WRL::ComPtr<IDispatch> EndExchange(LONG finalState, std::string&& response,
                                                        bool takeHandler) noexcept = 0;
  // The thread whose window receives the handler calls.
  virtual DWORD CallbackThreadId() noexcept = 0;

 protected:
  ~IAsyncExchangeSink() = default;
};

}  // namespace zx
