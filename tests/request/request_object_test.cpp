// The request object through its interface, for what a page script cannot
// see (tests/scripts/request.js and hostile_input.js have the rest): abort
// of an exchange in flight, the reply's bytes, and the callback windows.
#include <memory>
#include <string>
#include <thread>

#include "request/callback_window.h"
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

// While an exchange is in flight, open is refused; abort ends it at once,
// runs no handler and leaves the object ready to open again.
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
  ExpectUsable(true);
  EXPECT_EQ(lost.calls, 0);
}

// The reply's text ends at a zero byte (the page script checks that); its
// body keeps every byte, and a terminator after them.
TEST_F(RequestObjectTest, ZeroByteInAReplyStaysInTheBody) {
  ASSERT_EQ(OpenAndSend(false, L"%5B1%00%5D"), S_OK);
  EXPECT_EQ(BodyOf(*driver), Narrow(service.EchoOf(std::wstring(L"[1\0]", 4))) + '\0');
}

// A host unloads the module once it can and may load it again: the unload
// takes the thread's callback window and its class, which points into the
// unloaded code, and a later load registers the class anew.
TEST(ModuleUnload, TakesTheCallbackWindowsAndTheirClass) {
  CoInitialize(nullptr);
  ServiceOnSegment service;
  for (int load = 1; load <= 2; ++load) {
    auto module = std::make_unique<ZxmlhttpModule>();
    Microsoft::WRL::ComPtr<IZevXMLHttpRequest> object;
    ASSERT_EQ(module->Create(CLSID_ZevXMLHttpRequest, IID_PPV_ARGS(&object)), S_OK);
    RequestDriver request(std::move(object));
    RecordingHandler complete;
    ASSERT_EQ(request.OpenService(service.Segment()), S_OK);
    request->put_onreadystatechange(&complete);
    ASSERT_EQ(request.Send(L"1"), S_OK);
    ASSERT_TRUE(PumpMessagesUntil([&] { return complete.calls > 0; })) << load;
    request.Reset();
    const HMODULE unloaded = module->Handle();
    module.reset();
    EXPECT_TRUE(CallbackWindowsOf(GetCurrentThreadId()).empty());
    WNDCLASSW windowClass;
    EXPECT_FALSE(GetClassInfoW(unloaded, L"ZevXMLHttpRequestClass", &windowClass));
  }
  CoUninitialize();
}

// A handler a worker cannot post, as the page's window is gone, is never
// released on the worker: the page's thread drops it later.
TEST(CallbackPost, HandlerThatCannotBePostedIsReleasedOnlyOnItsOwnThread) {
  HWND gone = CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                              nullptr);
  ASSERT_TRUE(gone && DestroyWindow(gone));
  RecordingHandler handler;
  const DWORD pageThread = GetCurrentThreadId();
  bool posted = true;
  std::thread([&] {
    posted = PostScriptCallback(pageThread, gone, Microsoft::WRL::ComPtr<IDispatch>(&handler), 4);
  }).join();
  EXPECT_FALSE(posted);
  EXPECT_EQ(handler.refs, 2);
  CallbackWindowRegistry::Instance().DropKept();
  EXPECT_EQ(handler.refs, 1);
  EXPECT_EQ(handler.calls, 0);
}

}  // namespace
