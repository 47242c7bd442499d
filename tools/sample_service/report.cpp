#include "report.h"

#include <cstdio>

namespace zxsample {

int ReportFailure(const std::wstring& what, DWORD error) {
  std::fwprintf(stderr, L"zxsample_service: %ls: error %lu\n", what.c_str(),
                static_cast<unsigned long>(error));
  std::fflush(stderr);
  return kExitFailed;
}

}  // namespace zxsample
