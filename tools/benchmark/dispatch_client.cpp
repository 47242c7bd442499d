#include "dispatch_client.h"

#include <algorithm>

#include "common/win_resources.h"

namespace zxbench {
namespace {

VARIANT Text(BSTR value) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BSTR;
  V_BSTR(&v) = value;
  return v;
}

VARIANT Bool(bool value) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BOOL;
  V_BOOL(&v) = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

}  // namespace

bool DispatchClient::Request(const std::wstring& url, const std::wstring& form) {
  zx::UniqueBstr method(SysAllocString(L"POST")), address(SysAllocString(url.c_str())),
      body(SysAllocString(form.c_str()));
  VARIANT openArgs[] = {Text(method.Get()), Text(address.Get()), Bool(false)};
  if (Call(L"open", DISPATCH_METHOD, openArgs, 3, nullptr) != S_OK) return false;
  VARIANT sendArgs[] = {Text(body.Get())};
  if (Call(L"send", DISPATCH_METHOD, sendArgs, 1, nullptr) != S_OK) return false;
  zx::UniqueVariant text;
  if (Call(L"responseText", DISPATCH_PROPERTYGET, nullptr, 0, text.Put()) != S_OK) return false;
  const VARIANT& value = text.Get();
  return V_VT(&value) == VT_BSTR && SysStringLen(V_BSTR(&value)) != 0;
}

HRESULT DispatchClient::Call(const wchar_t* name, WORD flags, VARIANT* args, UINT count,
                             VARIANT* result) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = m_object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  // IDispatch takes the arguments last first.
  std::reverse(args, args + count);
  DISPPARAMS params = {args, nullptr, count, 0};
  hr = m_object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr,
                        nullptr);
  std::reverse(args, args + count);
  return hr;
}

}  // namespace zxbench
