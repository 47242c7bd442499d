#pragma once
// The request object's internal notification entry point, called by its
// own methods and by the completion-port workers. Not reachable through
// QueryInterface.
#include <windows.h>

namespace zx {

struct IReadyStateSink {
  // Records state; with fireNow also invokes the matching script handler
  // at once (workers never do: their handlers go through the thread's
  // callback window instead).
  virtual void NotifyReadyState(LONG state, BOOL fireNow) = 0;

 protected:
  ~IReadyStateSink() = default;
};

}  // namespace zx
