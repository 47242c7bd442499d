#pragma once
// The request object reached the way a script engine reaches it: through
// IDispatch, every member looked up by name before it is invoked.
#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <string>

namespace zxbench {

class DispatchClient {
 public:
  explicit DispatchClient(Microsoft::WRL::ComPtr<IDispatch> object) : m_object(std::move(object)) {}

  // open("POST", url, false), send(form), responseText; false unless every
  // call succeeds and the text is not empty.
  bool Request(const std::wstring& url, const std::wstring& form);

 private:
  // Invokes name with args (in call order) and returns the HRESULT.
  HRESULT Call(const wchar_t* name, WORD flags, VARIANT* args, UINT count, VARIANT* result);

  Microsoft::WRL::ComPtr<IDispatch> m_object;
};

}  // namespace zxbench
