#include "object_client.h"

#include <utility>

#include "common/win_resources.h"
#include "harness/dispatch_call.h"
#include "harness/message_pump.h"

namespace zxbench {

Microsoft::WRL::ComPtr<IZevXMLHttpRequest> NewRequestObject(
    const zx::test::ZxmlhttpModule& module) {
  Microsoft::WRL::ComPtr<IZevXMLHttpRequest> object;
  module.Create(CLSID_ZevXMLHttpRequest, IID_IZevXMLHttpRequest, &object);
  return object;
}

bool RequestByName(IDispatch* object, const std::wstring& url, const std::wstring& form) {
  using namespace zx::test;
  if (InvokeByName(object, L"open", DISPATCH_METHOD,
                   Arguments{variant::Text(L"POST"), variant::Text(url), variant::Flag(false)})
              .invoke != S_OK ||
      InvokeByName(object, L"send", DISPATCH_METHOD, Arguments{variant::Text(form)}).invoke !=
          S_OK) {
    return false;
  }
  const InvokeResult text =
      InvokeByName(object, L"responseText", DISPATCH_PROPERTYGET, Arguments{});
  const VARIANT& value = text.value.Get();
  return text.invoke == S_OK && V_VT(&value) == VT_BSTR && SysStringLen(V_BSTR(&value)) != 0;
}

ObjectClient::ObjectClient(Microsoft::WRL::ComPtr<IZevXMLHttpRequest> object)
    : m_request(std::move(object)) {}

// The handler lives here: the object lets go of it before this goes.
ObjectClient::~ObjectClient() { m_request.Reset(); }

bool ObjectClient::Exchange(bool async, const std::wstring& url, const std::wstring& form) {
  const LONG before = m_complete.calls;
  if (m_request.Open(url, async) != S_OK) return false;
  if (!async) return m_request.SendForm(form) == S_OK;
  m_request->put_onreadystatechange(&m_complete);
  if (m_request.SendForm(form) != S_OK) return false;
  return zx::test::PumpMessagesUntil([&] { return m_complete.calls > before; });
}

// The BSTR is what a script engine gets: it is not copied again here.
bool ObjectClient::TakeText() {
  zx::UniqueBstr text;
  return m_request->get_responseText(text.Put()) == S_OK && SysStringLen(text.Get()) > 0;
}

bool ObjectClient::TakeBody() {
  zx::UniqueVariant body;
  return m_request->get_responseBody(body.Put()) == S_OK && V_ARRAY(&body.Get()) != nullptr;
}

}  // namespace zxbench
