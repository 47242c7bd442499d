#pragma once
// Request objects as a page holds them: created through the registered
// module, with handlers that outlive them and an echoing sample service.
// Counts in the tests are the quick run's; ZX_RELIABILITY_SCALE multiplies
// them for scripts/reliability.sh, which collects the "[ figures  ]" lines.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "harness/dispatch_call.h"
#include "harness/message_pump.h"
#include "harness/process_probes.h"
#include "harness/recording_handler.h"
#include "harness/request_driver.h"
#include "harness/sample_service_process.h"
#include "harness/zxmlhttp_module.h"

namespace zx::test {

// quickCount times ZX_RELIABILITY_SCALE (1 when unset or not a positive number).
inline int Scaled(int quickCount) {
  static const int scale = [] {
    const char* text = std::getenv("ZX_RELIABILITY_SCALE");
    const long value = text ? std::strtol(text, nullptr, 10) : 1;
    return value > 0 && value <= 100000 ? static_cast<int>(value) : 1;
  }();
  return quickCount * scale;
}

inline void ReportFigure(const std::string& text) {
  std::printf("[ figures  ] %s\n", text.c_str());
  std::fflush(stdout);
}

// text repeated and cut to size characters, as the service's --size makes
// its echo.
inline std::wstring RepeatedTo(const std::wstring& text, size_t size) {
  std::wstring repeated;
  while (repeated.size() < size) repeated += text;
  return repeated.substr(0, size);
}

class PageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    ASSERT_EQ(module.Register(), S_OK);  // late binding needs the type library
    ASSERT_TRUE(service.Started());
    Renew();
  }
  // Handler calls posted before the objects went hold references.
  void TearDown() override {
    driver.reset();
    page.Reset();
    PumpPendingMessages();
    for (const std::string& problem : problems) ADD_FAILURE() << problem;
    EXPECT_EQ(complete.refs + lost.refs, 2);
    EXPECT_EQ(module.CanUnloadNow(), S_OK);
    CoUninitialize();
  }

  // What went wrong on another thread, reported on the test's own.
  void Problem(const std::string& text) {
    std::lock_guard<std::mutex> lock(problemsLock);
    problems.push_back(text);
  }

  // A fresh object whose ondisconnection is `lost`.
  RequestDriver NewRequest() {
    Microsoft::WRL::ComPtr<IZevXMLHttpRequest> object;
    if (module.Create(CLSID_ZevXMLHttpRequest, IID_IZevXMLHttpRequest, &object) != S_OK) {
      Problem("an object could not be created");
    } else {
      object->put_ondisconnection(&lost);
    }
    return RequestDriver(object);
  }
  // A fresh page object: `driver` on it, and `page` to call it late bound.
  void Renew() {
    page.Reset();
    driver = std::make_unique<RequestDriver>(NewRequest());
    ASSERT_EQ((*driver)->QueryInterface(IID_PPV_ARGS(&page)), S_OK);
  }
  // What a script's call, property read or property write gives.
  InvokeResult Call(const wchar_t* name, const Arguments& arguments) {
    return InvokeByName(page.Get(), name, DISPATCH_METHOD, arguments);
  }
  InvokeResult Get(const wchar_t* name) {
    return InvokeByName(page.Get(), name, DISPATCH_PROPERTYGET, {});
  }
  InvokeResult Put(const wchar_t* name, VARIANT value) {
    return InvokeByName(page.Get(), name, DISPATCH_PROPERTYPUT, {value});
  }

  // Opens `driver` on the service and sends json, handled by `complete`.
  HRESULT OpenAndSend(bool async, const std::wstring& json = L"%7B%22ok%22%3A1%7D") {
    const HRESULT opened = driver->OpenService(service.Segment(), async);
    if (opened != S_OK) return opened;
    (*driver)->put_onreadystatechange(&complete);
    return driver->Send(json);
  }
  // Ends whatever the page left in flight, then completes a good exchange.
  void ExpectUsable(bool async) {
    ASSERT_TRUE(driver->WaitUntilExchangeEnded());
    const LONG callsBefore = complete.calls;
    ASSERT_EQ(OpenAndSend(async), S_OK);
    ASSERT_TRUE(PumpMessagesUntil([&] { return complete.calls > callsBefore; }));
    EXPECT_EQ(driver->ResponseText(), service.EchoOf(L"{\"ok\":1}"));
  }

  // Runs round() warmUps times, then rounds times between two measurements:
  // the handles and private bytes stay flat, but for a handle or two the
  // system caches and heap the allocator keeps for reuse.
  void MeasureRounds(int warmUps, int rounds, const std::string& figure,
                     const std::function<void(int)>& round) {
    for (int i = 0; i < warmUps && !HasFailure(); ++i) round(i);
    const ResourceUsage before = MeasureUsage();
    for (int i = 0; i < rounds && !HasFailure(); ++i) round(warmUps + i);
    const ResourceUsage after = MeasureUsage();
    EXPECT_LE(after.handles, before.handles + 3) << DescribeGrowth(before, after);
    EXPECT_LE(after.privateBytes, before.privateBytes + (1 << 20)) << DescribeGrowth(before, after);
    ReportFigure(figure + ": " + std::to_string(rounds) + " rounds after " +
                 std::to_string(warmUps) + " warm-up, " + DescribeGrowth(before, after));
  }

  ZxmlhttpModule module;
  RecordingHandler complete, lost;  // outlive every object
  ServiceOnSegment service{L"", L"zxecho"};
  Microsoft::WRL::ComPtr<IDispatch> page;
  std::unique_ptr<RequestDriver> driver;
  std::mutex problemsLock;
  std::vector<std::string> problems;
};

}  // namespace zx::test
