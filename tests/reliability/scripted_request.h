#pragma once
// A request object as a page holds it: created through the registered
// module and called late bound through IDispatch, with a sample service
// answering in echo mode. Each test also drives the same object through
// its interface to show it still works after whatever the page did.
#include <windows.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "harness/recording_handler.h"
#include "harness/request_driver.h"
#include "harness/sample_service_process.h"
#include "harness/zxmlhttp_module.h"
#include "reliability/dispatch_call.h"

namespace zx::test {

// DISPIDs of IZevXMLHttpRequest, as the type library publishes them.
namespace request_dispid {
inline constexpr DISPID kOpen = 1;
inline constexpr DISPID kSetRequestHeader = 2;
inline constexpr DISPID kSend = 5;
inline constexpr DISPID kAbort = 6;
inline constexpr DISPID kResponseText = 10;
inline constexpr DISPID kResponseBody = 11;
inline constexpr DISPID kReadyState = 13;
inline constexpr DISPID kOnReadyStateChange = 14;
inline constexpr DISPID kServicePort = 15;
inline constexpr DISPID kOnDisconnection = 16;
inline constexpr DISPID kIsNeedFixConnection = 17;
inline constexpr DISPID kFixConnection = 19;
}  // namespace request_dispid

class ScriptedRequestTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A fresh object; also replaces `page` and `driver`.
  void Renew();
  // "http://localhost/zev-cgi-bin/<echo segment><rest>"
  std::wstring Url(const std::wstring& rest = L"/query") const;
  std::wstring EchoOf(const std::string& json, const std::wstring& path = L"/query") const;

  InvokeResult Open(VARIANT method, VARIANT url, VARIANT async);
  InvokeResult Send(VARIANT body);
  long ReadyState() { return driver->ReadyState(); }
  // Sets the handler through the interface (open drops it).
  void WatchCompletion() { (*driver)->put_onreadystatechange(&complete); }
  // Until an asynchronous exchange has ended and its handler has run.
  bool WaitForCompletion(LONG callsBefore);
  // Opens, sends and reads a good request through the interface. Its own
  // handler tells when it is done: a handler call the page's last exchange
  // posted may still be on its way.
  void ExpectUsable(bool async);

  ZxmlhttpModule module;
  RecordingHandler complete, lost, usable;  // outlive the object
  std::wstring segment = UniqueName(L"zxpage");
  TempFile log{L"zxpagelog"};
  std::unique_ptr<SampleServiceProcess> service;
  Microsoft::WRL::ComPtr<IDispatch> page;
  std::unique_ptr<RequestDriver> driver;
};

}  // namespace zx::test
