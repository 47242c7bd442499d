#pragma once
// The request object driven as a page drives it, through its interface:
// synchronously, or asynchronously with this thread's message loop bringing
// back the handler call.
#include <windows.h>
#include <wrl/client.h>

#include <string>

#include "harness/recording_handler.h"
#include "harness/request_driver.h"
#include "harness/zxmlhttp_module.h"
#include "res/zxmlhttp_idl.h"

namespace zxbench {

// A new request object from the module's own factory; null on failure.
Microsoft::WRL::ComPtr<IZevXMLHttpRequest> NewRequestObject(const zx::test::ZxmlhttpModule& module);

// open("POST", url, false), send(form) and responseText the way a script
// engine makes them, every member looked up by name before it is invoked;
// false unless every call succeeds and the text is not empty.
bool RequestByName(IDispatch* object, const std::wstring& url, const std::wstring& form);

class ObjectClient {
 public:
  explicit ObjectClient(Microsoft::WRL::ComPtr<IZevXMLHttpRequest> object);
  ~ObjectClient();
  ObjectClient(const ObjectClient&) = delete;
  ObjectClient& operator=(const ObjectClient&) = delete;

  // open, send and, asynchronously, the message loop until the handler has
  // been called: the reply is stored in the object.
  bool Exchange(bool async, const std::wstring& url, const std::wstring& form);
  // responseText, which also re-arms the object for the next open; false
  // when the text is empty.
  bool TakeText();
  // responseBody; false when it holds no array.
  bool TakeBody();
  // Both, as a page does per request.
  bool Request(bool async, const std::wstring& url, const std::wstring& form) {
    return Exchange(async, url, form) && TakeText();
  }

 private:
  zx::test::RequestDriver m_request;
  zx::test::RecordingHandler m_complete;
};

}  // namespace zxbench
