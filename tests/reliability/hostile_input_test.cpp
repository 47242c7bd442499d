// Hostile script input that a JScript page cannot produce
// (tests/scripts/hostile_input.js has the rest): null strings, byte arrays,
// broken argument lists and handlers that let go of themselves while they
// run. Every call gives a code; none crashes; the object stays usable.
#include <functional>
#include <string>

#include "support/page_test.h"

using namespace zx::test;
using namespace zx::test::variant;

namespace {

const HRESULT kMalformed = Code(0xE00D0004);

// The type library refused to convert the arguments: the method never ran.
bool RefusedByTheTypeLibrary(HRESULT code) {
  return FAILED(code) && HRESULT_FACILITY(code) == FACILITY_DISPATCH;
}

using HostileArgumentsTest = PageTest;

TEST_F(HostileArgumentsTest, DispatchRefusesWhatTheLibraryDoesNotOffer) {
  EXPECT_EQ(CallMethod(page.Get(), 99, {}).code, DISP_E_MEMBERNOTFOUND);
  EXPECT_TRUE(RefusedByTheTypeLibrary(Call(L"open", {Text(L"POST")}).code));
  EXPECT_TRUE(RefusedByTheTypeLibrary(Call(L"responseText", {Int(1)}).code));
  EXPECT_TRUE(RefusedByTheTypeLibrary(Put(L"onreadystatechange", Bytes("x")).code));
  zx::UniqueVariant result;
  EXPECT_TRUE(FAILED(
      page->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, nullptr, result.Put(), nullptr, nullptr)));
  DISPID id = 0;
  LPOLESTR nullName = nullptr;
  EXPECT_EQ(page->GetIDsOfNames(IID_NULL, nullptr, 1, 0, &id), E_POINTER);
  EXPECT_EQ(page->GetIDsOfNames(IID_NULL, &nullName, 1, 0, &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(driver->ReadyState(), 0);
  ExpectUsable(false);
}

// Strings a script always passes as text.
TEST_F(HostileArgumentsTest, NullStringsAndByteArraysAreMalformed) {
  EXPECT_EQ(Call(L"open", {NullText(), Text(service.Url()), Flag(false)}).code, kMalformed);
  EXPECT_EQ(Call(L"open", {Text(L"POST"), NullText(), Flag(false)}).code, kMalformed);
  EXPECT_EQ(Call(L"open", {Text(L"POST"), Bytes("abc"), Flag(false)}).code, kMalformed);
  ASSERT_EQ(driver->OpenService(service.Segment(), false), S_OK);
  EXPECT_EQ(Call(L"send", {NullText()}).code, kMalformed);
  ExpectUsable(false);
}

// The object holds the only reference to the handler, which drops itself
// as a page sets the handler to null inside it.
class ReentrantHandlerTest : public PageTest {
 protected:
  void ExpectDropsItself(const wchar_t* property, const std::function<void()>& run) {
    RecordingHandler handler;
    handler.onCall = [&] { EXPECT_EQ(Put(property, Object(nullptr)).code, S_OK); };
    ASSERT_EQ(Put(property, Object(&handler)).code, S_OK);
    handler.Release();
    run();
    ASSERT_TRUE(PumpMessagesUntil([&] { return handler.calls > 0; }));
    EXPECT_EQ(handler.calls, 1);
    EXPECT_FALSE(handler.releasedWhileRunning);
    EXPECT_EQ(handler.refs, 0);
  }
};

TEST_F(ReentrantHandlerTest, HandlerMayDropItselfWhileItRuns) {
  for (bool async : {false, true}) {
    Renew();
    ASSERT_EQ(driver->OpenService(service.Segment(), async), S_OK);
    ExpectDropsItself(L"onreadystatechange", [&] { ASSERT_EQ(driver->Send(L"1"), S_OK); });
  }
}

// The three ways ondisconnection runs at once: a synchronous send or an
// asynchronous open that finds no service, and a reply that reports it.
TEST_F(ReentrantHandlerTest, DisconnectionHandlerMayDropItselfWhileItRuns) {
  const std::wstring nobody = UniqueName(L"zxnobody");
  RegisteredPipeName registered(nobody, nobody);
  ServiceOnSegment reporter(L"--reply error-code 0xE00B0001", L"zxerr");
  ASSERT_TRUE(reporter.Started());
  const std::function<void()> losses[] = {
      [&] {
        ASSERT_EQ(driver->OpenService(nobody, false), S_OK);
        EXPECT_EQ(driver->Send(L"1"), Code(0xE00C0004));
      },
      [&] { EXPECT_EQ(driver->OpenService(nobody, true), Code(0xE00D0005)); },
      [&] {
        ASSERT_EQ(driver->OpenService(reporter.Segment(), false), S_OK);
        ASSERT_EQ(driver->Send(L"1"), S_OK);
        driver->ResponseText();
      },
  };
  for (const auto& lose : losses) {
    Renew();
    ExpectDropsItself(L"ondisconnection", lose);
  }
}

}  // namespace
