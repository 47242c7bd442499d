#pragma once
// Runs the calling thread's messages from inside a test, as a modal loop would.
#include <functional>

namespace zx::test {

// Dispatches what is queued now.
void PumpPending();
// Dispatches messages until done() holds; false if it did not within
// timeoutMs (a bound against hanging, not a timing check).
bool PumpUntil(const std::function<bool()>& done, unsigned timeoutMs = 5000);

}  // namespace zx::test
