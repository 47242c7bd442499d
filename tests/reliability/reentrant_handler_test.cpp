// Page handlers that turn on the object while it calls them: a handler may
// drop itself (a page sets onreadystatechange = null inside it) or call any
// method; the object neither loses the handler under its feet nor fails to
// give a code.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "harness/message_pump.h"
#include "harness/recording_handler.h"
#include "reliability/scripted_request.h"
#include "transport/endpoint_config.h"

using namespace zx::test;

namespace {

class ReentrantHandlerTest : public ScriptedRequestTest {
 protected:
  // The object holds the only reference to handler once the test has let
  // go of its own.
  void HandOver(RecordingHandler& handler, DISPID property) {
    ASSERT_EQ(PutProperty(page.Get(), property, Object(&handler)).code, S_OK);
    handler.Release();
  }
  void DropFromInside(RecordingHandler& handler, DISPID property) {
    handler.onCall = [this, property] {
      EXPECT_EQ(PutProperty(page.Get(), property, Object(nullptr)).code, S_OK);
    };
  }
};

TEST_F(ReentrantHandlerTest, HandlerMayDropItselfWhileItRuns) {
  for (bool async : {false, true}) {
    SCOPED_TRACE(async ? "asynchronous" : "synchronous");
    RecordingHandler handler;
    DropFromInside(handler, request_dispid::kOnReadyStateChange);
    ASSERT_EQ(driver->OpenService(segment, async), S_OK);
    HandOver(handler, request_dispid::kOnReadyStateChange);
    ASSERT_EQ(driver->Send(L"1"), S_OK);
    ASSERT_TRUE(PumpMessagesUntil([&] { return handler.calls > 0; }));
    EXPECT_FALSE(handler.releasedWhileRunning);
    EXPECT_EQ(handler.refs, 0u);
    EXPECT_EQ(driver->ResponseText(), EchoOf("1"));
  }
}

TEST_F(ReentrantHandlerTest, DisconnectionHandlerMayDropItselfWhileItRuns) {
  const std::wstring nobody = UniqueName(L"zxnobody");
  RegisteredPipeName registered(nobody, nobody);
  const std::wstring errorReply = UniqueName(L"zxerr");
  SampleServiceProcess reporter(L"--segment " + errorReply + L" --pipe " + errorReply +
                                L" --reply error-code 0xE00B0001");
  ASSERT_TRUE(reporter.Started());
  // The three ways ondisconnection runs at once: a synchronous send or an
  // asynchronous open that finds no service, and a reply that reports it.
  const std::function<void()> losses[] = {
      [&] {
        ASSERT_EQ(driver->OpenService(nobody, false), S_OK);
        EXPECT_EQ(driver->Send(L"1"), Code(0xE00C0004));
      },
      [&] { EXPECT_EQ(driver->OpenService(nobody, true), Code(0xE00D0005)); },
      [&] {
        ASSERT_EQ(driver->OpenService(errorReply, false), S_OK);
        ASSERT_EQ(driver->Send(L"1"), S_OK);
        driver->ResponseText();
      },
  };
  for (const auto& lose : losses) {
    Renew();
    RecordingHandler handler;
    DropFromInside(handler, request_dispid::kOnDisconnection);
    HandOver(handler, request_dispid::kOnDisconnection);
    lose();
    EXPECT_EQ(handler.calls, 1);
    EXPECT_FALSE(handler.releasedWhileRunning);
    EXPECT_EQ(handler.refs, 0u);
  }
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, (zx::kDefaultSpRootKeyPath + errorReply).c_str());
}

// Inside a synchronous handler the object is still busy with its send.
TEST_F(ReentrantHandlerTest, HandlerMayCallEveryMethodAndGetsACode) {
  for (bool async : {false, true}) {
    SCOPED_TRACE(async ? "asynchronous" : "synchronous");
    const HRESULT busyOrDone = async ? S_OK : Code(0xE00D000D);
    RecordingHandler handler;
    handler.onCall = [&] {
      EXPECT_EQ(Send(Text(L"json=2")).code, async ? Code(0xE00D0001) : Code(0xE00D000D));
      EXPECT_EQ(CallMethod(page.Get(), request_dispid::kAbort, Arguments{}).code, S_OK);
      EXPECT_EQ(GetProperty(page.Get(), request_dispid::kReadyState).code, S_OK);
      EXPECT_EQ(GetProperty(page.Get(), request_dispid::kResponseBody).code, S_OK);
      EXPECT_EQ(GetProperty(page.Get(), request_dispid::kResponseText).code, S_OK);
      EXPECT_EQ(GetProperty(page.Get(), request_dispid::kServicePort).code, S_OK);
      EXPECT_EQ(PutProperty(page.Get(), request_dispid::kOnDisconnection, Object(&handler)).code,
                S_OK);
      EXPECT_EQ(Open(Text(L"POST"), Text(Url()), Flag(async)).code, busyOrDone);
    };
    ASSERT_EQ(driver->OpenService(segment, async), S_OK);
    ASSERT_EQ(PutProperty(page.Get(), request_dispid::kOnReadyStateChange, Object(&handler)).code,
              S_OK);
    ASSERT_EQ(driver->Send(L"1"), S_OK);
    ASSERT_TRUE(PumpMessagesUntil([&] { return handler.calls > 0; }));
    EXPECT_EQ(handler.calls, 1);
    Renew();  // lets go of the handler
    EXPECT_EQ(handler.refs, 1u);
  }
  ExpectUsable(false);
}

}  // namespace
