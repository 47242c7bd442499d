#pragma once
// The peak memory one large exchange needs, measured in a fresh process of
// this program: a process's peak only ever grows, so each figure needs a
// process of its own.
#include <string>
#include <vector>

#include "exchange_clients.h"
#include "sample_request.h"

namespace zxbench {

inline constexpr wchar_t kPeakProbeSwitch[] = L"--peak-probe";

// The parent's side: bytes of peak working set above the baseline the
// probe took just before the exchange, or a negative number on failure.
// warm is a small-reply service the probe warms the client up with first.
double MeasurePeakGrowth(ClientKind kind, const SampleRequest& large, const SampleRequest& warm);

// The probe's side, given the arguments after kPeakProbeSwitch. Prints
// "peak-growth <bytes>" and returns 0, or returns 1.
int RunPeakProbe(const std::vector<std::wstring>& args);

}  // namespace zxbench
