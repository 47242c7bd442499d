// The request object through its interface, for what a page script cannot
// see (tests/scripts/request.js and hostile_input.js have the rest): the
// states and handler calls of an asynchronous exchange, abort, null
// out-parameters, the reply's bytes and the memory a lying reply length
// costs. How each kind of fault ends an exchange, and many objects on many
// threads, are tests/reliability's.
#include <windows.h>
#include <winternl.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "support/page_test.h"

using namespace zx;
using namespace zx::test;

namespace {

using RequestObjectTest = PageTest;

std::string Narrow(const std::wstring& ascii) { return std::string(ascii.begin(), ascii.end()); }

// The bytes of responseBody.
std::string BodyOf(RequestDriver& request) {
  UniqueVariant body;
  EXPECT_EQ(request->get_responseBody(body.Put()), S_OK);
  EXPECT_EQ(V_VT(&body.Get()), VT_ARRAY | VT_UI1);
  const SAFEARRAY* bytes = V_ARRAY(&body.Get());
  return std::string(static_cast<const char*>(bytes->pvData), bytes->rgsabound[0].cElements);
}

// What pages read as constants, and null out-parameters (only a caller
// that is no script passes them).
TEST_F(RequestObjectTest, FixedAnswersAndNullOutParameters) {
  long status = 0;
  UniqueBstr text;
  unsigned short port = 0;
  VARIANT_BOOL vista = 7;
  ASSERT_EQ((*driver)->get_status(&status), S_OK);
  ASSERT_EQ((*driver)->get_statusText(text.Put()), S_OK);
  ASSERT_EQ((*driver)->get_servicePort(&port), S_OK);
  ASSERT_EQ((*driver)->get_isOSVersionAfterVista(&vista), S_OK);
  EXPECT_EQ(std::make_tuple(status, std::wstring(text.Get()), port, vista),
            std::make_tuple(200L, std::wstring(L"200"), 9922, 1));  // 1: not VARIANT_TRUE
  EXPECT_EQ((*driver)->get_servicePort(nullptr), Code(0xE00D0004));
  EXPECT_EQ((*driver)->get_isOSVersionAfterVista(nullptr), E_INVALIDARG);
  EXPECT_EQ((*driver)->get_responseText(nullptr), E_POINTER);
  EXPECT_EQ(BodyOf(*driver), std::string(1, '\0'));
}

// The request goes out over many writes; the reply waits, then comes in
// pieces well apart, so that each state lasts long enough to be seen. The
// handler runs once, as a script handler, on the sending thread.
TEST_F(RequestObjectTest, AsynchronousPageSeesEachStateAndOneHandlerCall) {
  ASSERT_TRUE(service.Restart(L"--size 10000 --delay 300 --drip 4096 200"));
  const std::wstring filler(300000, L'x'), json = L"\"" + filler + L"\"";
  long stateInHandler = -1;
  complete.onCall = [&] { stateInHandler = driver->ReadyState(); };
  ASSERT_EQ(OpenAndSend(true, L"%22" + filler + L"%22"), S_OK);
  EXPECT_EQ(complete.calls, 0);  // only this thread's message loop runs it
  std::vector<long> states;
  ASSERT_TRUE(PumpMessagesUntil([&] {
    if (states.empty() || states.back() != driver->ReadyState())
      states.push_back(driver->ReadyState());
    return complete.calls > 0;
  }));
  EXPECT_EQ(states, (std::vector<long>{2, 3, 4}));
  EXPECT_EQ(stateInHandler, 4);
  EXPECT_EQ(complete.threadId, GetCurrentThreadId());
  EXPECT_CALLED_AS_SCRIPT_HANDLER(complete);
  EXPECT_EQ(driver->ResponseText(), RepeatedTo(service.EchoOf(json), 10000));
  ASSERT_TRUE(driver->WaitUntilExchangeEnded());
  EXPECT_EQ(complete.calls, 1);
  EXPECT_EQ(lost.calls, 0);
  const std::string path = "/" + Narrow(service.Segment()) + "/query?json=";
  EXPECT_EQ(service.Logged(), std::vector<std::string>{path + Narrow(json)});
}

TEST_F(RequestObjectTest, HandlerRemovedAfterItsCallWasPostedStillRuns) {
  RecordingHandler replacement;
  ASSERT_EQ(OpenAndSend(true), S_OK);
  MSG posted;
  ASSERT_TRUE(PollUntil([&] {
    return PeekMessageW(&posted, nullptr, WM_USER + 200, WM_USER + 200, PM_NOREMOVE) != FALSE;
  }));
  EXPECT_EQ(posted.lParam, 4);
  (*driver)->put_onreadystatechange(nullptr);
  EXPECT_EQ(complete.refs, 2);  // the posted message's own reference
  (*driver)->put_onreadystatechange(&replacement);
  ASSERT_TRUE(PumpMessagesUntil([&] { return complete.calls > 0; }));
  EXPECT_EQ(complete.refs, 1);
  EXPECT_EQ(replacement.calls, 0);
  (*driver)->put_onreadystatechange(nullptr);  // the replacement goes before the object
}

// While an exchange is in flight, open is refused; abort ends it at once,
// runs no handler and leaves the object ready to open again. Against a
// quick service the abort meets the workers at every stage of an exchange:
// each time it either ends the exchange or finds it over.
TEST_F(RequestObjectTest, AbortEndsAnExchangeTheServiceNeverAnswers) {
  ASSERT_TRUE(service.Restart(L"--delay 30000"));
  ASSERT_EQ(OpenAndSend(true), S_OK);
  ASSERT_TRUE(PollUntil([&] { return service.Logged().size() == 1; }));  // it waits
  EXPECT_EQ(driver->ResponseText(), L"");  // re-arms, but the exchange is still in flight
  EXPECT_EQ(driver->OpenService(service.Segment()), Code(0xE00D000D));
  EXPECT_EQ(driver->OpenService(service.Segment(), false), Code(0xE00D000D));
  EXPECT_EQ((*driver)->abort(), S_OK);
  PumpPendingMessages();
  EXPECT_EQ(complete.calls + lost.calls, 0);
  EXPECT_EQ(driver->ReadyState(), 2);
  EXPECT_EQ(driver->OpenService(service.Segment()), S_OK);
  EXPECT_EQ((*driver)->abort(), S_OK);  // nothing in flight: changes nothing
  EXPECT_EQ(driver->ReadyState(), 1);
  ASSERT_TRUE(service.Restart(L""));
  for (int round = 0; round < 50; ++round) {
    ASSERT_EQ(OpenAndSend(true), S_OK);
    ASSERT_EQ((*driver)->abort(), S_OK);
    driver->ResponseText();  // an exchange that ended by itself is read first, as always
  }
  // One that finished as it was aborted may still post its handler: only
  // the last exchange ends in state 4 now.
  ASSERT_EQ(OpenAndSend(true), S_OK);
  ASSERT_TRUE(PumpMessagesUntil([&] { return driver->ReadyState() == 4; }));
  EXPECT_EQ(driver->ResponseText(), service.EchoOf(L"{\"ok\":1}"));
  EXPECT_EQ(lost.calls, 0);
}

TEST_F(RequestObjectTest, ZeroByteInAReplyEndsTheTextButNotTheBody) {
  TempFile reply(L"zxreply");
  UniqueFile file(
      CreateFileW(reply.Path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file.Get(), "ab\0cd", 5, &written, nullptr));
  file.Reset();
  ASSERT_TRUE(service.Restart(L"--reply file \"" + reply.Path() + L"\""));
  ASSERT_EQ(OpenAndSend(false), S_OK);
  EXPECT_EQ(driver->ResponseText(), L"ab");
  EXPECT_EQ(BodyOf(*driver), std::string("ab\0cd\0", 6));
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
  ASSERT_TRUE(service.Restart(L"--size 16 --short " + std::to_wstring(kAnnounced)));
  ASSERT_EQ(driver->OpenService(service.Segment(), false), S_OK);
  const auto before = peak();
  EXPECT_EQ(driver->Send(L"1"), Code(0xE00C000B));
  const auto after = peak();
  EXPECT_LT(after.first - before.first, kAllowed);
  EXPECT_LT(after.second - before.second, kAllowed);
}

// Unloading takes the thread's callback window and its class; a later load
// registers the class again.
TEST(ModuleUnload, TakesTheCallbackWindowsAndTheirClass) {
  CoInitialize(nullptr);
  ServiceOnSegment service;
  for (int load = 1; load <= 2; ++load) {
    SCOPED_TRACE(load);
    auto module = std::make_unique<ZxmlhttpModule>();
    Microsoft::WRL::ComPtr<IZevXMLHttpRequest> object;
    ASSERT_EQ(module->Create(CLSID_ZevXMLHttpRequest, IID_IZevXMLHttpRequest, &object), S_OK);
    RequestDriver request(std::move(object));
    RecordingHandler complete;
    ASSERT_EQ(request.OpenService(service.Segment()), S_OK);
    request->put_onreadystatechange(&complete);
    ASSERT_EQ(request.Send(L"1"), S_OK);
    ASSERT_TRUE(PumpMessagesUntil([&] { return complete.calls > 0; }));
    EXPECT_EQ(CallbackWindowsOf(GetCurrentThreadId()).size(), 1u);
    request.Reset();
    const HMODULE unloaded = module->Handle();
    module.reset();
    EXPECT_TRUE(CallbackWindowsOf(GetCurrentThreadId()).empty());
    WNDCLASSW windowClass;
    EXPECT_FALSE(GetClassInfoW(unloaded, L"ZevXMLHttpRequestClass", &windowClass));
  }
  CoUninitialize();
}

}  // namespace
