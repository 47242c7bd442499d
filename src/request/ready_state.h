#pragma once
// readyState values of the request object, as scripts read them.
namespace zx::ready_state {

constexpr long kNew = 0;
constexpr long kOpened = 1;
constexpr long kSending = 2;
constexpr long kLengthReceived = 3;  // asynchronous mode only
constexpr long kComplete = 4;        // calls onreadystatechange
constexpr long kDisconnected = 5;    // calls ondisconnection

}  // namespace zx::ready_state
