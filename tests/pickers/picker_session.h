#pragma once
// A picker call made on the test's thread, which blocks in the dialog's
// modal loop, while another thread acts as the user. Whatever the user
// thread does, no dialog outlives it: one of this process left open is
// cancelled, so a failing step fails the test instead of hanging it.
#include <windows.h>

#include <functional>

namespace zx::test {

// Runs call() here and user() on a thread of its own; returns when both ended.
void RunWithUser(const std::function<void()>& call, const std::function<void()>& user);

// Milliseconds on a steady clock, for the measured figures the tests print.
double NowMs();

}  // namespace zx::test
