// Hostile script input that a JScript page cannot produce
// (tests/scripts/hostile_input.js has the rest): VARIANT types no script
// makes, null strings, broken argument lists, handlers that let go of
// themselves while they run, and the pickers' arguments. Every call gives a
// code; none crashes; the object stays usable.
#include <climits>
#include <functional>
#include <string>

#include "harness/dialog_closer.h"
#include "reliability/reliability.h"

using namespace zx::test;
using namespace zx::test::variant;

namespace {

const HRESULT kMalformed = Code(0xE00D0004);

// The type library refused to convert the arguments: the method never ran.
bool RefusedByTheTypeLibrary(HRESULT code) {
  return FAILED(code) && HRESULT_FACILITY(code) == FACILITY_DISPATCH;
}

using HostileArgumentsTest = ReliabilityTest;

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

// The low 16 bits of varAsync pick the mode: a synchronous send has called
// the handler before it returns. Only a string body replaces the JSON of
// the URL.
TEST_F(HostileArgumentsTest, VariantsNoScriptMakesGiveTheirCodes) {
  EXPECT_EQ(Call(L"open", {NullText(), Text(service.Url()), Flag(false)}).code, kMalformed);
  EXPECT_EQ(Call(L"open", {Text(L"POST"), NullText(), Flag(false)}).code, kMalformed);
  EXPECT_EQ(Call(L"open", {Text(L"POST"), Bytes("abc"), Flag(false)}).code, kMalformed);
  const struct {
    VARIANT async;
    bool sync;
    VARIANT body;
  } rows[] = {
      {Short(-1), false, Bytes("json=1")},
      {Omitted(), false, Object(nullptr)},  // DISP_E_PARAMNOTFOUND: low bits 4
      {Object(nullptr), true, Omitted()},
      {Real(1.0), true, Null()},
  };
  for (const auto& row : rows) {
    const LONG callsBefore = complete.calls;
    ASSERT_EQ(
        Call(L"open", {Text(L"GET"), Text(service.Url(L"/query?json=%5B7%5D")), row.async}).code,
        S_OK);
    (*driver)->put_onreadystatechange(&complete);
    ASSERT_EQ(Call(L"send", {row.body}).code, S_OK);
    EXPECT_EQ(complete.calls > callsBefore, row.sync);
    ASSERT_TRUE(PumpMessagesUntil([&] { return complete.calls > callsBefore; }));
    EXPECT_EQ(driver->ResponseText(), service.EchoOf(L"[7]"));
  }
  ASSERT_EQ(driver->OpenService(service.Segment(), false), S_OK);
  EXPECT_EQ(Call(L"send", {NullText()}).code, kMalformed);
}

// The object holds the only reference to the handler, which drops itself
// as a page sets the handler to null inside it.
class ReentrantHandlerTest : public ReliabilityTest {
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

// Every call gives one of the pickers' results: S_OK with paths, S_FALSE
// without; the closer cancels each dialog. (The pickers' own tests place
// the dialog for positions of every usual type. scripts/reliability.sh,
// which has no display, leaves PickerArgumentsTest out.)
using PickerArgumentsTest = ReliabilityTest;

TEST_F(PickerArgumentsTest, ExtremePositionsAndCaptionsGiveAPickerResult) {
  Microsoft::WRL::ComPtr<IDispatch> folder, scan;
  ASSERT_EQ(module.Create(CLSID_ZevFileDialog, IID_IDispatch, &folder), S_OK);
  ASSERT_EQ(module.Create(CLSID_ZevMultiFileDialog, IID_IDispatch, &scan), S_OK);
  DialogCloser closer;
  const auto show = [&](IDispatch* picker, const wchar_t* method, const Arguments& arguments) {
    const InvokeResult result = InvokeByName(picker, method, DISPATCH_METHOD, arguments);
    const VARTYPE type = V_VT(&result.value.Get());
    EXPECT_TRUE(result.code == S_OK || result.code == S_FALSE) << std::hex << result.code;
    EXPECT_TRUE(type == VT_EMPTY || type == VT_BSTR) << type;
  };
  const std::wstring huge(1 << 20, L'c');
  const VARIANT positions[][2] = {{Int(INT_MIN), Int(INT_MAX)},
                                  {Real(1e300), Real(-1e300)},
                                  {Null(), Object(nullptr)},
                                  {Bytes("xy"), Bytes("")}};
  for (const auto& p : positions) {
    show(scan.Get(), L"GetOpenFileNameEx2",
         {Flag(false), Text(L"c"), Text(L"s"), Int(0), p[0], p[1], Flag(true), Empty()});
  }
  const VARIANT captions[][2] = {
      {NullText(), NullText()},
      {Text(huge), Text(L"")},
      {Text(L"\xD800x\xDC00"), Text(std::wstring(L"a\0b\r\n\t%s%n", 10))}};
  for (const auto& c : captions)
    show(scan.Get(), L"GetOpenFileNameEx", {Flag(true), c[0], c[1], Int(-1)});
  for (VARIANT title : {NullText(), Text(huge), Text(L"\xD800"), Int(7)}) {
    show(folder.Get(), L"GetOpenFileName", {title});
  }
}

}  // namespace
