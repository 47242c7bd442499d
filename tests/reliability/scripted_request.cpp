#include "reliability/scripted_request.h"

#include "harness/message_pump.h"
#include "transport/endpoint_config.h"

namespace zx::test {

void ScriptedRequestTest::SetUp() {
  CoInitialize(nullptr);
  // Late binding needs the registered type library.
  ASSERT_EQ(module.Register(), S_OK);
  service = std::make_unique<SampleServiceProcess>(L"--segment " + segment + L" --pipe " +
                                                   segment + L" --log \"" + log.Path() + L"\"");
  ASSERT_TRUE(service->Started());
  Renew();
}

void ScriptedRequestTest::TearDown() {
  driver.reset();
  page.Reset();
  PumpPendingMessages();
  service.reset();
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, (kDefaultSpRootKeyPath + segment).c_str());
  EXPECT_EQ(complete.refs, 1);
  EXPECT_EQ(lost.refs, 1);
  EXPECT_EQ(usable.refs, 1);
  EXPECT_EQ(module.CanUnloadNow(), S_OK);
  CoUninitialize();
}

void ScriptedRequestTest::Renew() {
  driver.reset();
  page.Reset();
  ASSERT_EQ(module.Create(CLSID_ZevXMLHttpRequest, IID_IDispatch, &page), S_OK);
  Microsoft::WRL::ComPtr<IZevXMLHttpRequest> request;
  ASSERT_EQ(page.As(&request), S_OK);
  driver = std::make_unique<RequestDriver>(request);
  request->put_ondisconnection(&lost);
}

std::wstring ScriptedRequestTest::Url(const std::wstring& rest) const {
  return L"http://localhost/zev-cgi-bin/" + segment + rest;
}

std::wstring ScriptedRequestTest::EchoOf(const std::string& json, const std::wstring& path) const {
  return L"{\"path\":\"/" + segment + path + L"\",\"json\":" +
         std::wstring(json.begin(), json.end()) + L"}";
}

InvokeResult ScriptedRequestTest::Open(VARIANT method, VARIANT url, VARIANT async) {
  return CallMethod(page.Get(), request_dispid::kOpen, Arguments{method, url, async});
}

InvokeResult ScriptedRequestTest::Send(VARIANT body) {
  return CallMethod(page.Get(), request_dispid::kSend, Arguments{body});
}

bool ScriptedRequestTest::WaitForCompletion(LONG callsBefore) {
  return PumpMessagesUntil([&] { return complete.calls > callsBefore; });
}

void ScriptedRequestTest::ExpectUsable(bool async) {
  // Whatever the page left in flight ends first.
  ASSERT_TRUE(driver->WaitUntilExchangeEnded());
  const LONG callsBefore = usable.calls;
  ASSERT_EQ(driver->OpenService(segment, async), S_OK);
  (*driver)->put_onreadystatechange(&usable);
  ASSERT_EQ(driver->Send(L"%7B%22ok%22%3A1%7D"), S_OK);
  ASSERT_TRUE(PumpMessagesUntil([&] { return usable.calls > callsBefore; }));
  EXPECT_EQ(driver->ResponseText(), EchoOf("{\"ok\":1}"));
}

}  // namespace zx::test
