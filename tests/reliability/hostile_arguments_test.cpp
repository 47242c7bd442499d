// Hostile script input through IDispatch: arguments of every VARIANT type,
// null and huge strings, text that is not ASCII or not even valid UTF-16.
// Every call gives a result code; none crashes; the object stays usable.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness/message_pump.h"
#include "reliability/scripted_request.h"

using namespace zx::test;
namespace dispid = zx::test::request_dispid;

namespace {

constexpr size_t kHugeLength = size_t{1} << 22;  // characters of a huge string

// In a table of expected codes: refused by the type library, whatever the
// code it chose.
constexpr HRESULT kRefused = S_FALSE;

// The type library refused to convert an argument: the method never ran.
bool RefusedByTheTypeLibrary(HRESULT code) {
  return FAILED(code) && HRESULT_FACILITY(code) == FACILITY_DISPATCH;
}

bool IsValidUtf16(const std::wstring& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c >= 0xDC00 && c <= 0xDFFF) return false;
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
      ++i;
    }
  }
  return true;
}

std::string ThreadAnsi(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_THREAD_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr,
                                       nullptr);
  std::string bytes(size > 0 ? size - 1 : 0, '\0');
  WideCharToMultiByte(CP_THREAD_ACP, 0, text.c_str(), -1, &bytes[0], size, nullptr, nullptr);
  return bytes;
}

using HostileArgumentsTest = ScriptedRequestTest;

TEST_F(HostileArgumentsTest, OpenArgumentsOfAnyTypeGiveACode) {
  RecordingHandler stranger;  // an object where a string belongs
  const HRESULT malformed = Code(0xE00D0004);
  struct Case {
    const char* name;
    InvokeResult result;
    HRESULT expected;
  } cases[] = {
      {"null method", Open(NullText(), Text(Url()), Flag(false)), malformed},
      {"null url", Open(Text(L"POST"), NullText(), Flag(false)), malformed},
      {"number as method", Open(Int(7), Text(Url()), Flag(false)), malformed},
      {"number as url", Open(Text(L"POST"), Int(42), Flag(false)), malformed},
      // Bytes become a string of those bytes; an object its default value.
      {"bytes as url", Open(Text(L"POST"), Bytes("abc"), Flag(false)), malformed},
      {"object as method", Open(Object(&stranger), Text(Url()), Flag(false)), malformed},
      {"null as method", Open(Null(), Text(Url()), Flag(false)), kRefused},
      {"url and method swapped", Open(Text(Url()), Text(L"POST"), Flag(false)), malformed},
      {"prefix without service",
       Open(Text(L"POST"), Text(L"http://h/zev-cgi-bin/?json=1"), Flag(false)), malformed},
      {"method only", CallMethod(page.Get(), dispid::kOpen, Arguments{Text(L"POST")}), kRefused},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.expected == kRefused) {
      EXPECT_TRUE(RefusedByTheTypeLibrary(c.result.code)) << std::hex << c.result.code;
    } else {
      EXPECT_EQ(c.result.code, c.expected);
    }
  }
  EXPECT_EQ(ReadyState(), 0);
  ExpectUsable(false);
  ExpectUsable(true);
}

TEST_F(HostileArgumentsTest, AsyncArgumentOfAnyTypeChoosesTheModeByItsLow16Bits) {
  enum Mode { kSync, kAsync, kEither };
  struct Case {
    const char* name;
    VARIANT async;
    Mode mode;
  } cases[] = {
      {"true", Flag(true), kAsync},
      {"false", Flag(false), kSync},
      {"1", Int(1), kAsync},
      {"0x10000", Int(0x10000), kSync},
      {"0x10001", Int(0x10001), kAsync},
      {"short -1", Short(-1), kAsync},
      {"1.0, whose low bits are 0", Real(1.0), kSync},
      {"empty", Empty(), kSync},
      {"null", Null(), kSync},
      {"omitted (DISP_E_PARAMNOTFOUND, low bits 4)", Omitted(), kAsync},
      {"null object", Object(nullptr), kSync},
      {"string (a pointer)", Text(L"false"), kEither},
      {"bytes (a pointer)", Bytes("\x00"), kEither},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    const LONG callsBefore = complete.calls;
    ASSERT_EQ(Open(Text(L"POST"), Text(Url()), c.async).code, S_OK);
    WatchCompletion();
    ASSERT_EQ(driver->Send(L"1"), S_OK);
    // A synchronous send has called the handler before it returned.
    const bool ranSynchronously = complete.calls > callsBefore;
    if (c.mode != kEither) {
      EXPECT_EQ(ranSynchronously, c.mode == kSync);
    }
    ASSERT_TRUE(WaitForCompletion(callsBefore));
    EXPECT_EQ(driver->ResponseText(), EchoOf("1"));
  }
}

TEST_F(HostileArgumentsTest, OnlyAStringBodyReplacesTheJsonAnyOtherKeepsIt) {
  RecordingHandler stranger;
  struct Case {
    const char* name;
    VARIANT body;
    HRESULT expected;
    const char* json;
  } cases[] = {
      {"empty", Empty(), S_OK, "[7]"},
      {"null", Null(), S_OK, "[7]"},
      {"number", Int(5), S_OK, "[7]"},
      {"real", Real(2.5), S_OK, "[7]"},
      {"bytes that look like a form", Bytes("json=1"), S_OK, "[7]"},
      {"object", Object(&stranger), S_OK, "[7]"},
      {"omitted", Omitted(), S_OK, "[7]"},
      {"form", Text(L"json=2"), S_OK, "2"},
      {"null string", NullText(), Code(0xE00D0004), nullptr},
      {"string without json", Text(L"jsonp=1&x=json"), Code(0xE00D0004), nullptr},
      {"json up to an embedded zero", Text(std::wstring(L"json=3\0json=4", 13)), S_OK, "3"},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(driver->Open(Url(L"/query?x=1&json=%5B7%5D"), false, L"GET"), S_OK);
    EXPECT_EQ(Send(c.body).code, c.expected);
    if (c.json) {
      EXPECT_EQ(driver->ResponseText(), EchoOf(c.json));
    }
  }
  EXPECT_EQ(stranger.calls, 0);
  // A POST has no JSON of its own: without a string body the synchronous
  // mode refuses it, the asynchronous one sends it empty.
  ASSERT_EQ(driver->OpenService(segment, false), S_OK);
  EXPECT_EQ(Send(Int(1)).code, Code(0xE00C000D));
  ASSERT_EQ(driver->OpenService(segment, true), S_OK);
  WatchCompletion();
  const LONG callsBefore = complete.calls;
  EXPECT_EQ(Send(Int(1)).code, S_OK);
  ASSERT_TRUE(WaitForCompletion(callsBefore));
  EXPECT_EQ(driver->ResponseText(), EchoOf(""));
}

TEST_F(HostileArgumentsTest, HugeStringsGiveACode) {
  const std::wstring huge(kHugeLength, L'p');
  EXPECT_EQ(Open(Text(huge), Text(Url()), Flag(false)).code, Code(0xE00D0004));
  // A service segment too long for its key path is refused, not cut, and
  // the page sees the failure.
  const std::wstring hugeService = L"http://h/zev-cgi-bin/" + huge + L"/q";
  EXPECT_EQ(driver->Open(hugeService, false), Code(0x8007006F));
  EXPECT_EQ(Open(Text(L"POST"), Text(hugeService), Flag(false)).code, Code(0x8007006F));
  EXPECT_EQ(Send(Text(L"json=1")).code, Code(0xE00D0001));
  EXPECT_EQ(
      CallMethod(page.Get(), dispid::kSetRequestHeader, Arguments{Text(huge), Text(huge)}).code,
      S_OK);
  EXPECT_EQ(ReadyState(), 0);

  for (bool async : {false, true}) {
    SCOPED_TRACE(async ? "asynchronous" : "synchronous");
    const LONG callsBefore = complete.calls;
    ASSERT_EQ(Open(Text(L"POST"), Text(Url(L"/" + huge)), Flag(async)).code, S_OK);
    WatchCompletion();
    ASSERT_EQ(Send(Text(L"json=" + std::wstring(kHugeLength, L'7'))).code, S_OK);
    ASSERT_TRUE(WaitForCompletion(callsBefore));
    EXPECT_EQ(driver->ResponseText(), EchoOf(std::string(kHugeLength, '7'), L"/" + huge));
  }
}

TEST_F(HostileArgumentsTest, TextThatIsNotAsciiTravelsInTheThreadsCodePage) {
  const std::wstring service = L"\x0441\x0435\x0440\x0432\x0438\x0441" + UniqueName(L"");
  RegisteredPipeName registered(service, segment);  // served by the echo service
  const std::wstring path = L"/" + service + L"/\x0437\x0430\x043F\x0440\x043E\x0441\x00E9";
  ASSERT_EQ(Open(Text(L"POST"), Text(L"http://h/zev-cgi-bin" + path), Flag(false)).code, S_OK);
  ASSERT_EQ(Send(Text(L"json=%22%E2%82%AC%22")).code, S_OK);  // "€" in UTF-8
  const std::string ansiPath = ThreadAnsi(path);
  const std::vector<std::string> logged = ReadRequestLog(log.Path());
  ASSERT_FALSE(logged.empty());
  EXPECT_EQ(logged.back(), ansiPath + "?json=\"\xE2\x82\xAC\"");
  const std::wstring text = driver->ResponseText();
  EXPECT_NE(text.find(L"\"json\":\"\x20AC\"}"), std::wstring::npos) << "reply";
}

TEST_F(HostileArgumentsTest, InvalidUtf16AndUtf8GiveACodeAndValidText) {
  struct Case {
    const char* name;
    std::wstring url;
    std::wstring body;
    bool opens;  // else the service's key is not found (0x80070002)
  } cases[] = {
      {"lone surrogates in the path", Url(L"/q\xD800x\xDC00"), L"json=1", true},
      {"lone surrogate in the service segment", L"http://h/zev-cgi-bin/\xDC00" + segment + L"/q",
       L"json=1", false},
      {"lone surrogates in the body", Url(), L"json=%22a\xD800" L"b\xDC00\xD83D\xDE00%22", true},
      {"percent-encoded bytes that are not UTF-8", Url(), L"json=%22%FF%C0%80%ED%A0%80%F8%22",
       true},
      {"escapes cut short", Url(), L"json=%22%E2%82%", true},
  };
  for (bool async : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (async ? ", asynchronous" : ", synchronous"));
      const LONG callsBefore = complete.calls;
      const HRESULT opened = Open(Text(L"POST"), Text(c.url), Flag(async)).code;
      if (!c.opens) {
        EXPECT_EQ(opened, Code(0x80070002));
        continue;
      }
      ASSERT_EQ(opened, S_OK);
      WatchCompletion();
      ASSERT_EQ(Send(Text(c.body)).code, S_OK);
      ASSERT_TRUE(WaitForCompletion(callsBefore));
      const std::wstring text = driver->ResponseText();
      EXPECT_EQ(text.rfind(L"{\"path\":\"", 0), 0u) << "reply";
      EXPECT_TRUE(IsValidUtf16(text));
    }
  }
}

TEST_F(HostileArgumentsTest, HandlerPropertiesTakeObjectsOrNothing) {
  for (DISPID property : {dispid::kOnReadyStateChange, dispid::kOnDisconnection}) {
    for (VARIANT notObject : {Text(L"alert(1)"), Int(1), Real(0.5), Bytes("x")}) {
      EXPECT_TRUE(RefusedByTheTypeLibrary(PutProperty(page.Get(), property, notObject).code));
    }
  }
  // Nothing set: the exchange runs without anyone to tell.
  for (VARIANT nothing : {Null(), Empty(), Object(nullptr)}) {
    const InvokeResult put = PutProperty(page.Get(), dispid::kOnDisconnection, nothing);
    EXPECT_TRUE(put.code == S_OK || RefusedByTheTypeLibrary(put.code)) << std::hex << put.code;
  }
  EXPECT_EQ(PutProperty(page.Get(), dispid::kOnDisconnection, Object(&lost)).code, S_OK);
  ExpectUsable(true);
}

TEST_F(HostileArgumentsTest, DispatchRefusesWhatTheLibraryDoesNotOffer) {
  EXPECT_EQ(CallMethod(page.Get(), 99, Arguments{}).code, DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(PutProperty(page.Get(), dispid::kReadyState, Int(4)).code, DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(GetProperty(page.Get(), dispid::kOnReadyStateChange).code, DISP_E_MEMBERNOTFOUND);
  EXPECT_TRUE(RefusedByTheTypeLibrary(
      CallMethod(page.Get(), dispid::kResponseText, Arguments{Int(1), Int(2)}).code));

  // A caller that passes no argument list or no names gets a code too.
  zx::UniqueVariant result;
  EXPECT_TRUE(FAILED(page->Invoke(dispid::kOpen, IID_NULL, 0, DISPATCH_METHOD, nullptr,
                                  result.Put(), nullptr, nullptr)));
  DISPID id = 0;
  EXPECT_TRUE(FAILED(page->GetIDsOfNames(IID_NULL, nullptr, 1, 0, &id)));
  LPOLESTR nullName = nullptr;
  EXPECT_TRUE(FAILED(page->GetIDsOfNames(IID_NULL, &nullName, 1, 0, &id)));
  EXPECT_EQ(ReadyState(), 0);
  ExpectUsable(false);
}

}  // namespace
