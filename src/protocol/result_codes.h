// Private result codes of the request object and its transport.
//
// They travel up to the script unchanged as HRESULTs; 32-bit signed so they
// compare equal to an HRESULT on Windows and to a parsed `error_code` anywhere.
#pragma once

#include <cstdint>

namespace zx {

using Result = std::int32_t;

namespace result {

constexpr Result Code(std::uint32_t bits) { return static_cast<Result>(bits); }

constexpr Result kOk = 0;

// Request object and asynchronous exchange.
constexpr Result kSendWithoutOpen = Code(0xE00D0001);
constexpr Result kNoMemoryForContext = Code(0xE00D0002);
constexpr Result kAsyncEmptyReply = Code(0xE00D0003);
// Bad argument, malformed URL, method or body, or a reply longer than announced.
constexpr Result kBadRequest = Code(0xE00D0004);
constexpr Result kAsyncNoPipeInstance = Code(0xE00D0005);
constexpr Result kAsyncOpenRetriesExhausted = Code(0xE00D0006);
constexpr Result kCreateCompletionPortFailed = Code(0xE00D0007);
constexpr Result kCreateWorkerFailed = Code(0xE00D0008);
constexpr Result kPostStopPacketFailed = Code(0xE00D0009);
constexpr Result kWaitForWorkersFailed = Code(0xE00D000A);
constexpr Result kStartWriteFailed = Code(0xE00D000B);
constexpr Result kStartReadFailed = Code(0xE00D000C);
constexpr Result kBusy = Code(0xE00D000D);
constexpr Result kServicesNotRunning = Code(0xE00D000F);

// Synchronous exchange and pipe binding.
constexpr Result kSyncNoPipeInstance = Code(0xE00C0004);
constexpr Result kSyncOpenRetriesExhausted = Code(0xE00C0005);
constexpr Result kSyncWriteFailed = Code(0xE00C0009);
constexpr Result kSyncReadFailed = Code(0xE00C000B);
constexpr Result kSyncMissingInput = Code(0xE00C000D);
constexpr Result kSyncEmptyReply = Code(0xE00C0010);
constexpr Result kBindCompletionPortFailed = Code(0xE00C0017);
constexpr Result kSyncOutOfMemory = Code(0xE00C001E);

// Only ever reported by the service, inside a reply's `error_code`.
constexpr Result kServiceConnectionLost = Code(0xE00B0001);

}  // namespace result
}  // namespace zx
