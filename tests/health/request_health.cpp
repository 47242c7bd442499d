#include "request_health.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace zx::test {

RequestHealth::RequestHealth() {
  CoInitialize(nullptr);
  m_module.Create(CLSID_ZevXMLHttpRequest, IID_PPV_ARGS(&m_request));
}

RequestHealth::~RequestHealth() {
  m_request.Reset();
  CoUninitialize();
}

int RequestHealth::NeedFix() {
  VARIANT_BOOL needFix = -2;
  EXPECT_EQ(m_request->get_isNeedFixConnection(&needFix), S_OK);
  return needFix;
}

long RequestHealth::Fix(DWORD& elapsedMs) {
  long code = -1;
  DWORD start = GetTickCount();
  EXPECT_EQ(m_request->get_fixConnection(&code), S_OK);
  elapsedMs = GetTickCount() - start;
  return code;
}

void ReportDuration(const char* what, DWORD elapsedMs) {
  std::printf("[ MEASURED ] fixConnection, %s: %lu ms\n", what, elapsedMs);
}

}  // namespace zx::test
