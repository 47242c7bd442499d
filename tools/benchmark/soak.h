#pragma once
// Row 9: what many requests leave behind: handles and private bytes after
// them against before, on one object alternating between both modes.
#include <windows.h>

#include "harness/zxmlhttp_module.h"
#include "sample_request.h"

namespace zxbench {

struct SoakResult {
  long requests;
  bool completed;  // every request succeeded
  long handlesBefore, handlesAfter;
  SIZE_T privateBytesBefore, privateBytesAfter;
};

SoakResult MeasureSoak(const zx::test::ZxmlhttpModule& module, const SampleRequest& sample,
                       long requests);

}  // namespace zxbench
