// Hostile script input that a JScript page cannot produce
// (tests/scripts/hostile_input.js has the rest): null name
// lists, and handlers that let go of themselves while they run. Every call
// gives a code; none crashes; the object stays usable.
#include <functional>
#include <string>

#include "support/page_test.h"

using namespace zx::test;
using namespace zx::test::variant;

namespace {

using HostileArgumentsTest = PageTest;

// A caller that is no script may pass null name lists, which the type
// description would read unchecked. (Null argument lists, like whatever
// else Invoke refuses, are the type description's own.)
TEST_F(HostileArgumentsTest, DispatchRefusesNullNameLists) {
  DISPID id = 0;
  LPOLESTR nullName = nullptr;
  EXPECT_EQ(page->GetIDsOfNames(IID_NULL, nullptr, 1, 0, &id), E_POINTER);
  EXPECT_EQ(page->GetIDsOfNames(IID_NULL, &nullName, 1, 0, &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(driver->ReadyState(), 0);
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

// ondisconnection runs at once when a synchronous send finds no service.
TEST_F(ReentrantHandlerTest, HandlersMayDropThemselvesWhileTheyRun) {
  for (bool async : {false, true}) {
    Renew();
    ASSERT_EQ(driver->OpenService(service.Segment(), async), S_OK);
    ExpectDropsItself(L"onreadystatechange", [&] { ASSERT_EQ(driver->Send(L"1"), S_OK); });
  }
  const std::wstring nobody = UniqueName(L"zxnobody");
  RegisteredPipeName registered(nobody, nobody);
  Renew();
  ASSERT_EQ(driver->OpenService(nobody, false), S_OK);
  ExpectDropsItself(L"ondisconnection", [&] { EXPECT_EQ(driver->Send(L"1"), Code(0xE00C0004)); });
}

}  // namespace
