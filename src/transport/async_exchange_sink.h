#pragma once
// What the completion-port workers tell the owner of an asynchronous
// exchange. Every call comes from a worker thread.
#include <string>

namespace zx {

enum class ExchangeEnd {
  kReplied,  // the whole reply frame arrived
  kLost,     // the exchange failed after it started: the peer is gone
};

struct IAsyncExchangeSink {
  // The reply's length arrived and its body follows.
  virtual void OnReplyLengthKnown() noexcept = 0;
  // The exchange's last word, with the reply body when it was kReplied. The
  // owner may start its next exchange as soon as it has recorded this.
  virtual void OnExchangeEnded(ExchangeEnd end, std::string&& reply) noexcept = 0;

 protected:
  ~IAsyncExchangeSink() = default;
};

}  // namespace zx
