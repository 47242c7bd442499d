#include "object_client.h"

#include <utility>

#include "common/win_resources.h"
#include "harness/message_pump.h"

namespace zxbench {

Microsoft::WRL::ComPtr<IZevXMLHttpRequest> NewRequestObject(
    const zx::test::ZxmlhttpModule& module) {
  Microsoft::WRL::ComPtr<IZevXMLHttpRequest> object;
  module.Create(CLSID_ZevXMLHttpRequest, IID_IZevXMLHttpRequest, &object);
  return object;
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
