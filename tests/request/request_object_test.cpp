// The request object through its interface, for what a page script cannot
// see (tests/scripts/request.js has the rest): null out-parameters, the
// exact frame on the wire, how the handler is called, the reply's bytes,
// and the memory a lying reply length costs.
#include <windows.h>
#include <winternl.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "common/win_resources.h"
#include "harness/message_pump.h"
#include "harness/recording_handler.h"
#include "harness/request_driver.h"
#include "harness/sample_service_process.h"
#include "harness/zxmlhttp_module.h"

using Microsoft::WRL::ComPtr;
using namespace zx;
using namespace zx::test;

namespace {

class RequestObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    ComPtr<IZevXMLHttpRequest> object;
    ASSERT_EQ(module.Create(CLSID_ZevXMLHttpRequest, IID_IZevXMLHttpRequest, &object), S_OK);
    request = std::make_unique<RequestDriver>(object);
  }
  void TearDown() override {
    request.reset();
    CoUninitialize();
  }

  // The bytes of responseBody.
  std::string Body() {
    UniqueVariant body;
    EXPECT_EQ((*request)->get_responseBody(body.Put()), S_OK);
    EXPECT_EQ(V_VT(&body.Get()), VT_ARRAY | VT_UI1);
    const SAFEARRAY* bytes = V_ARRAY(&body.Get());
    return std::string(static_cast<const char*>(bytes->pvData), bytes->rgsabound[0].cElements);
  }

  ZxmlhttpModule module;
  RecordingHandler complete;  // outlives the object
  std::unique_ptr<RequestDriver> request;
};

// What pages read as constants, and null out-parameters (only a caller
// that is no script passes them).
TEST_F(RequestObjectTest, FixedAnswersAndNullOutParameters) {
  long status = 0;
  UniqueBstr text;
  unsigned short port = 0;
  VARIANT_BOOL vista = 7;
  ASSERT_EQ((*request)->get_status(&status), S_OK);
  ASSERT_EQ((*request)->get_statusText(text.Put()), S_OK);
  ASSERT_EQ((*request)->get_servicePort(&port), S_OK);
  ASSERT_EQ((*request)->get_isOSVersionAfterVista(&vista), S_OK);
  EXPECT_EQ(std::make_tuple(status, std::wstring(text.Get()), port, vista),
            std::make_tuple(200L, std::wstring(L"200"), 9922, 1));  // 1: not VARIANT_TRUE
  EXPECT_EQ((*request)->get_servicePort(nullptr), Code(0xE00D0004));
  EXPECT_EQ((*request)->get_isOSVersionAfterVista(nullptr), E_INVALIDARG);
  EXPECT_EQ((*request)->get_responseText(nullptr), E_POINTER);
  EXPECT_EQ(Body(), std::string(1, '\0'));
}

// The frame carries its length: a zero byte in the JSON is data like any
// other. Only the json field travels, after the path without its query.
TEST_F(RequestObjectTest, EachExchangeSendsTheExactFrameAndCallsTheHandlerAsAScriptOne) {
  ServiceOnSegment service;
  ASSERT_TRUE(service.Started());
  const std::string path = "/" + std::string(service.Segment().begin(), service.Segment().end());
  const struct {
    const wchar_t* method;
    const wchar_t* rest;
    const wchar_t* body;  // null: send() without one
    bool async;
    std::string payload;
  } rows[] = {
      {L"POST", L"/query?x=1", L"t=1&json=%7B%22a%22%3A1%7D", false,
       path + "/query?json={\"a\":1}"},
      {L"POST", L"/query", L"json=%5B1%00%5D", false,
       path + "/query?json=" + std::string("[1\0]", 4)},
      {L"POST", L"/query", L"json=%5B1%00%5D", true,
       path + "/query?json=" + std::string("[1\0]", 4)},
      {L"GET", L"/q?json=%5B1%5D", nullptr, true, path + "/q?json=[1]"},
      {L"GET", L"/q?x=0&json=1", L"json=2", false, path + "/q?json=2"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.payload);
    const LONG callsBefore = complete.calls;
    ASSERT_EQ(request->Open(service.Url(row.rest), row.async, row.method), S_OK);
    (*request)->put_onreadystatechange(&complete);
    ASSERT_EQ(row.body ? request->SendForm(row.body) : request->SendNothing(), S_OK);
    ASSERT_TRUE(PumpMessagesUntil([&] { return complete.calls > callsBefore; }));
    EXPECT_EQ(complete.calls - callsBefore, 1);
    EXPECT_EQ(complete.threadId, GetCurrentThreadId());
    EXPECT_CALLED_AS_SCRIPT_HANDLER(complete);
    EXPECT_EQ(service.Logged().back(), row.payload);
    request->ResponseText();  // re-arms the object for the next open
  }
  EXPECT_EQ(service.Logged().size(), std::size(rows));
}

TEST_F(RequestObjectTest, ZeroByteInAReplyEndsTheTextButNotTheBody) {
  TempFile reply(L"zxreply");
  UniqueFile file(
      CreateFileW(reply.Path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file.Get(), "ab\0cd", 5, &written, nullptr));
  file.Reset();
  ServiceOnSegment service(L"--reply file \"" + reply.Path() + L"\"");
  ASSERT_EQ(request->OpenService(service.Segment(), false), S_OK);
  ASSERT_EQ(request->Send(L"1"), S_OK);
  EXPECT_EQ(request->ResponseText(), L"ab");
  EXPECT_EQ(Body(), std::string("ab\0cd\0", 6));
}

// The reply's memory follows the bytes that arrive, up to one growth step
// ahead of them, never the length a service announces.
TEST_F(RequestObjectTest, AnnouncedLengthBeyondWhatArrivesCommitsLittle) {
  constexpr SIZE_T kAnnounced = 200u << 20, kAllowed = 48u << 20;
  const auto peak = [] {
    VM_COUNTERS counters = {};
    NtQueryInformationProcess(GetCurrentProcess(), ProcessVmCounters, &counters, sizeof counters,
                              nullptr);
    return std::make_pair(counters.PeakWorkingSetSize, counters.PeakVirtualSize);
  };
  ServiceOnSegment service(L"--size 16 --short " + std::to_wstring(kAnnounced));
  ASSERT_EQ(request->OpenService(service.Segment(), false), S_OK);
  const auto before = peak();
  EXPECT_EQ(request->Send(L"1"), Code(0xE00C000B));
  const auto after = peak();
  EXPECT_LT(after.first - before.first, kAllowed);
  EXPECT_LT(after.second - before.second, kAllowed);
}

}  // namespace
