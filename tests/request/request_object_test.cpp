// The request object in synchronous mode, driven through its interface
// against the real sample service.
#include <windows.h>
#include <winternl.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "common/win_resources.h"
#include "harness/message_pump.h"
#include "harness/recording_handler.h"
#include "harness/request_driver.h"
#include "harness/sample_service_process.h"
#include "harness/zxmlhttp_module.h"
#include "res/zxmlhttp_idl.h"
#include "transport/endpoint_config.h"

using Microsoft::WRL::ComPtr;
using namespace zx;
using namespace zx::test;

namespace {

class RequestObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    ASSERT_EQ(module.Create(CLSID_ZevXMLHttpRequest, IID_IZevXMLHttpRequest, &request), S_OK);
  }
  void TearDown() override {
    request.Reset();
    CoUninitialize();
  }

  RequestDriver Drive() { return RequestDriver(request); }
  HRESULT Open(const wchar_t* method, const std::wstring& url) { return Drive().Open(url, false, method); }
  HRESULT Post(const std::wstring& segment, const wchar_t* rest = L"/query") {
    return Open(L"POST", L"http://localhost/zev-cgi-bin/" + segment + rest);
  }
  HRESULT Send(const wchar_t* body) { return Drive().SendForm(body); }
  HRESULT SendNothing() { return Drive().SendNothing(); }
  long ReadyState() { return Drive().ReadyState(); }
  std::wstring ResponseText() { return Drive().ResponseText(); }
  void ServeEcho(const std::wstring& extra = L"") {
    service = std::make_unique<SampleServiceProcess>(L"--segment " + segment + L" --pipe " +
                                                     segment + L" --log \"" + log.Path() + L"\" " +
                                                     extra);
    ASSERT_TRUE(service->Started());
  }

  ZxmlhttpModule module;
  // Handlers outlive the object that holds references to them.
  RecordingHandler complete, lost;
  ComPtr<IZevXMLHttpRequest> request;
  std::wstring segment = UniqueName(L"zxsvc");
  TempFile log{L"zxlog"};
  std::unique_ptr<SampleServiceProcess> service;
};

TEST_F(RequestObjectTest, FreshObjectGivesTheFixedAnswers) {
  long value = 0;
  EXPECT_EQ(ReadyState(), 0);
  EXPECT_EQ(request->get_status(&value), S_OK);
  EXPECT_EQ(value, 200);
  UniqueBstr text;
  EXPECT_EQ(request->get_statusText(text.Put()), S_OK);
  EXPECT_STREQ(text.Get(), L"200");
  unsigned short port = 0;
  EXPECT_EQ(request->get_servicePort(&port), S_OK);
  EXPECT_EQ(port, 9922);
  EXPECT_EQ(request->get_servicePort(nullptr), Code(0xE00D0004));
  EXPECT_EQ(ResponseText(), L"");
  EXPECT_EQ(request->getResponseHeader(nullptr, text.Put()), E_NOTIMPL);
  EXPECT_EQ(request->getAllResponseHeaders(text.Put()), E_NOTIMPL);
  EXPECT_EQ(request->setRequestHeader(nullptr, nullptr), S_OK);
  EXPECT_EQ(request->abort(), S_OK);

  IDispatch* untouched = reinterpret_cast<IDispatch*>(0x1234);
  EXPECT_EQ(request->get_responseXML(&untouched), S_OK);
  EXPECT_EQ(untouched, reinterpret_cast<IDispatch*>(0x1234));

  VARIANT_BOOL vista = 7;
  EXPECT_EQ(request->get_isOSVersionAfterVista(nullptr), E_INVALIDARG);
  EXPECT_EQ(request->get_isOSVersionAfterVista(&vista), S_OK);
  EXPECT_EQ(vista, 1);  // 1, not VARIANT_TRUE: the prefix reports version 6.1
}

TEST_F(RequestObjectTest, ResponseBodyIsTheBytesAndOneZero) {
  UniqueVariant body;
  ASSERT_EQ(request->get_responseBody(body.Put()), S_OK);
  ASSERT_EQ(V_VT(&body.Get()), VT_ARRAY | VT_UI1);
  EXPECT_EQ(V_ARRAY(&body.Get())->rgsabound[0].cElements, 1u);
  EXPECT_EQ(static_cast<BYTE*>(V_ARRAY(&body.Get())->pvData)[0], 0);
}

TEST_F(RequestObjectTest, OpenRefusesMalformedRequests) {
  EXPECT_EQ(Open(L"get", L"http://h/zev-cgi-bin/svc/q?json=1"), Code(0xE00D0004));
  EXPECT_EQ(Open(L"PUT", L"http://h/zev-cgi-bin/svc/q"), Code(0xE00D0004));
  EXPECT_EQ(Open(L"POST", L"http://h/cgi-bin/svc/q"), Code(0xE00D0004));
  EXPECT_EQ(Open(L"POST", L"http://h/ZEV-CGI-BIN/svc/q"), Code(0xE00D0004));
  EXPECT_EQ(Open(L"GET", L"http://h/zev-cgi-bin/svc/q?x=1"), Code(0xE00D0004));
  EXPECT_EQ(Open(L"POST", L"http://h/zev-cgi-bin"), Code(0xE00D0004));
  EXPECT_EQ(request->open(nullptr, nullptr, BoolArgument(false), MissingArgument(), MissingArgument()), Code(0xE00D0004));
  EXPECT_EQ(ReadyState(), 0);
}

// After a good open, so that no earlier pipe path can stand in for the
// missing one.
TEST_F(RequestObjectTest, UnusableServiceKeyFailsOpenWithTheRegistryErrorAsHresult) {
  ServeEcho();
  const std::wstring numbered = UniqueName(L"zxnumber");
  const std::wstring numberedKey = kDefaultSpRootKeyPath + numbered;
  const DWORD number = 7;
  ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, numberedKey.c_str(), L"Name", REG_DWORD, &number,
                            sizeof number),
            ERROR_SUCCESS);
  for (const auto& [service, expected] : {std::pair{UniqueName(L"nokey"), Code(0x80070002)},
                                          std::pair{numbered, Code(0x8007065D)}}) {
    ASSERT_EQ(Post(segment), S_OK);
    EXPECT_EQ(Post(service), expected);
    EXPECT_EQ(Send(L"json=1"), Code(0xE00D0001));
  }
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, numberedKey.c_str());
}

TEST_F(RequestObjectTest, ExchangeSendsTheExactFrameAndCallsTheHandlerOnce) {
  ServeEcho();
  RecordingHandler& handler = complete;
  ASSERT_EQ(Post(segment, L"/query?x=1"), S_OK);
  EXPECT_EQ(ReadyState(), 1);
  request->put_onreadystatechange(&handler);
  ASSERT_EQ(Send(L"t=1&json=%7B%22a%22%3A1%7D"), S_OK);
  EXPECT_EQ(ReadyState(), 4);
  EXPECT_EQ(handler.calls, 1);
  EXPECT_EQ(handler.threadId, GetCurrentThreadId());
  EXPECT_CALLED_AS_SCRIPT_HANDLER(handler);

  std::vector<std::string> frames = ReadRequestLog(log.Path());
  ASSERT_EQ(frames.size(), 1u);
  std::string payload = "/" + std::string(segment.begin(), segment.end()) + "/query?json={\"a\":1}";
  EXPECT_EQ(frames[0], payload);
  EXPECT_EQ(ResponseText(), L"{\"path\":\"/" + segment + L"/query\",\"json\":{\"a\":1}}");
}

// The frame carries its length: a zero byte in the JSON is data like any
// other, in both modes.
TEST_F(RequestObjectTest, JsonWithAZeroByteIsSentWholeInBothModes) {
  ServeEcho();
  for (bool async : {false, true}) {
    const LONG callsBefore = complete.calls;
    ASSERT_EQ(Drive().OpenService(segment, async), S_OK);
    request->put_onreadystatechange(&complete);
    ASSERT_EQ(Send(L"json=%5B1%00%5D"), S_OK);
    ASSERT_TRUE(PumpMessagesUntil([&] { return complete.calls > callsBefore; }));
    ResponseText();  // re-arms the object for the next open
  }
  const std::string payload =
      "/" + std::string(segment.begin(), segment.end()) + "/query?json=" + std::string("[1\0]", 4);
  EXPECT_EQ(ReadRequestLog(log.Path()), (std::vector<std::string>{payload, payload}));
}

TEST_F(RequestObjectTest, GetTakesTheJsonFromTheUrlUnlessABodyReplacesIt) {
  ServeEcho();
  ASSERT_EQ(Open(L"GET", L"http://h/zev-cgi-bin/" + segment + L"/q?json=%5B1%5D"), S_OK);
  ASSERT_EQ(SendNothing(), S_OK);
  ResponseText();
  ASSERT_EQ(Open(L"GET", L"http://h/zev-cgi-bin/" + segment + L"/q?x=0&json=1"), S_OK);
  ASSERT_EQ(Send(L"json=2"), S_OK);
  std::vector<std::string> frames = ReadRequestLog(log.Path());
  ASSERT_EQ(frames.size(), 2u);
  std::string path = "/" + std::string(segment.begin(), segment.end()) + "/q?json=";
  EXPECT_EQ(frames[0], path + "[1]");
  EXPECT_EQ(frames[1], path + "2");
}

TEST_F(RequestObjectTest, OneSendPerOpenAndResponseTextRearms) {
  ServeEcho();
  RecordingHandler& early = complete;
  request->put_onreadystatechange(&early);
  ASSERT_EQ(Post(segment), S_OK);  // open drops a handler set before it
  ASSERT_EQ(Send(L"json=1"), S_OK);
  EXPECT_EQ(early.calls, 0);
  EXPECT_EQ(early.refs, 1);
  EXPECT_EQ(Send(L"json=1"), Code(0xE00D0001));
  EXPECT_EQ(Post(segment), Code(0xE00D000D));
  ResponseText();
  EXPECT_EQ(Post(segment), S_OK);
  EXPECT_EQ(Send(L"nojson=1"), Code(0xE00D0004));
  EXPECT_EQ(Send(L"json="), Code(0xE00C000D));  // an empty JSON never reaches the service
  EXPECT_EQ(ReadRequestLog(log.Path()).size(), 1u);
}

TEST_F(RequestObjectTest, HandlerCannotReenterTheBusyObject) {
  ServeEcho();
  RecordingHandler& handler = complete;
  HRESULT nested = S_OK;
  handler.onCall = [&] { nested = Post(segment); };
  ASSERT_EQ(Post(segment), S_OK);
  request->put_onreadystatechange(&handler);
  ASSERT_EQ(Send(L"json=1"), S_OK);
  EXPECT_EQ(nested, Code(0xE00D000D));
}

TEST_F(RequestObjectTest, NoListeningServiceCallsOndisconnectionBeforeSendReturns) {
  RegisteredPipeName registered(segment, UniqueName(L"zx-nobody"));
  long stateSeenByHandler = 0;
  lost.onCall = [&] { stateSeenByHandler = ReadyState(); };
  request->put_ondisconnection(&lost);
  ASSERT_EQ(Post(segment), S_OK);
  EXPECT_EQ(Send(L"json=1"), Code(0xE00C0004));
  EXPECT_EQ(lost.calls, 1);
  EXPECT_EQ(stateSeenByHandler, 5);
  EXPECT_EQ(Send(L"json=1"), Code(0xE00C0004));  // still opened: passes 2 again, then 5
  EXPECT_EQ(lost.calls, 2);
}

TEST_F(RequestObjectTest, BrokenRepliesGiveTheirCodes) {
  struct Case {
    const wchar_t* mode;
    HRESULT code;
    long state;
    LONG disconnections;
  } cases[] = {
      {L"--reply zero-length", Code(0xE00C0010), 2, 0},
      {L"--partial 3", Code(0xE00C000B), 5, 1},
      {L"--short 10", Code(0xE00C000B), 5, 1},
      // No buffer is ever taken for an announced length the process cannot hold.
      {L"--huge", Code(0xE00C001E), 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    segment = UniqueName(L"zxbroken");
    ServeEcho(c.mode);
    ComPtr<IZevXMLHttpRequest> fresh;
    ASSERT_EQ(module.Create(CLSID_ZevXMLHttpRequest, IID_IZevXMLHttpRequest, &fresh), S_OK);
    request = fresh;
    lost.calls = 0;
    request->put_ondisconnection(&lost);
    ASSERT_EQ(Post(segment), S_OK);
    EXPECT_EQ(Send(L"json=1"), c.code);
    EXPECT_EQ(ReadyState(), c.state);
    EXPECT_EQ(lost.calls, c.disconnections);
  }
}

TEST_F(RequestObjectTest, ReplyErrorCodeOfALostConnectionCallsOndisconnection) {
  for (const wchar_t* code : {L"-536150015", L"-536084476"}) {
    segment = UniqueName(L"zxerr");
    ServeEcho(std::wstring(L"--reply error-code ") + code);
    lost.calls = 0;
    request->put_ondisconnection(&lost);
    ASSERT_EQ(Post(segment), S_OK);
    ASSERT_EQ(Send(L"json=1"), S_OK);
    EXPECT_EQ(ResponseText(), std::wstring(L"{\"error_code\":\"") + code + L"\"}");
    EXPECT_EQ(lost.calls, 1);
    EXPECT_EQ(ReadyState(), 5);
  }
  segment = UniqueName(L"zxerr");
  ServeEcho(L"--reply error-code 5");
  lost.calls = 0;
  ASSERT_EQ(Post(segment), S_OK);
  ASSERT_EQ(Send(L"json=1"), S_OK);
  ResponseText();
  EXPECT_EQ(lost.calls, 0);
}

TEST_F(RequestObjectTest, ZeroByteInAReplyEndsTheTextButNotTheBody) {
  TempFile reply(L"zxreply");
  {
    UniqueFile file(CreateFileW(reply.Path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(file.Get(), "ab\0cd", 5, &written, nullptr);
  }
  ServeEcho(L"--reply file \"" + reply.Path() + L"\"");
  ASSERT_EQ(Post(segment), S_OK);
  ASSERT_EQ(Send(L"json=1"), S_OK);
  EXPECT_EQ(ResponseText(), L"ab");
  UniqueVariant body;
  ASSERT_EQ(request->get_responseBody(body.Put()), S_OK);
  SAFEARRAY* bytes = V_ARRAY(&body.Get());
  ASSERT_EQ(bytes->rgsabound[0].cElements, 6u);
  EXPECT_EQ(std::string(static_cast<char*>(bytes->pvData), 6), std::string("ab\0cd\0", 6));
}

// The highest memory the process has used so far: touched, and mapped.
std::pair<SIZE_T, SIZE_T> PeakMemory() {
  VM_COUNTERS counters = {};
  NtQueryInformationProcess(GetCurrentProcess(), ProcessVmCounters, &counters, sizeof(counters),
                            nullptr);
  return {counters.PeakWorkingSetSize, counters.PeakVirtualSize};
}

// A service may announce far more than it sends: the reply's memory
// follows the bytes that arrive, up to one growth step ahead of them.
TEST_F(RequestObjectTest, AnnouncedLengthBeyondWhatArrivesCommitsLittle) {
  constexpr SIZE_T kAnnounced = 200u << 20;
  constexpr SIZE_T kAllowed = 48u << 20;
  ServeEcho(L"--size 16 --short " + std::to_wstring(kAnnounced));
  request->put_ondisconnection(&lost);
  ASSERT_EQ(Post(segment), S_OK);
  const auto before = PeakMemory();
  EXPECT_EQ(Send(L"json=1"), Code(0xE00C000B));
  const auto after = PeakMemory();
  EXPECT_EQ(ReadyState(), 5);
  EXPECT_EQ(lost.calls, 1);
  EXPECT_LT(after.first - before.first, kAllowed);
  EXPECT_LT(after.second - before.second, kAllowed);
}

}  // namespace
