#include "harness/dispatch_call.h"

#include <cstring>

namespace zx::test {
namespace variant {
namespace {

VARIANT Typed(VARTYPE type) {
  VARIANT value;
  VariantInit(&value);
  V_VT(&value) = type;
  return value;
}

// A VARIANT of the given type whose member `fill` sets.
template <class Fill>
VARIANT Made(VARTYPE type, Fill fill) {
  VARIANT value = Typed(type);
  fill(value);
  return value;
}

}  // namespace

VARIANT Text(const std::wstring& text) {
  return Made(VT_BSTR, [&](VARIANT& v) {
    V_BSTR(&v) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  });
}

VARIANT NullText() {
  return Made(VT_BSTR, [](VARIANT& v) { V_BSTR(&v) = nullptr; });
}
VARIANT Int(LONG number) {
  return Made(VT_I4, [&](VARIANT& v) { V_I4(&v) = number; });
}
VARIANT Short(SHORT number) {
  return Made(VT_I2, [&](VARIANT& v) { V_I2(&v) = number; });
}
VARIANT Real(double number) {
  return Made(VT_R8, [&](VARIANT& v) { V_R8(&v) = number; });
}
VARIANT Flag(bool flag) {
  return Made(VT_BOOL, [&](VARIANT& v) { V_BOOL(&v) = flag ? VARIANT_TRUE : VARIANT_FALSE; });
}

VARIANT Empty() { return Typed(VT_EMPTY); }
VARIANT Null() { return Typed(VT_NULL); }

VARIANT Object(IDispatch* object) {
  VARIANT value = Typed(VT_DISPATCH);
  V_DISPATCH(&value) = object;
  if (object) object->AddRef();
  return value;
}

VARIANT Bytes(const std::string& bytes) {
  VARIANT value = Typed(VT_ARRAY | VT_UI1);
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  void* data = nullptr;
  if (array && SUCCEEDED(SafeArrayAccessData(array, &data))) {
    std::memcpy(data, bytes.data(), bytes.size());
    SafeArrayUnaccessData(array);
  }
  V_ARRAY(&value) = array;
  return value;
}

VARIANT Omitted() {
  VARIANT value = Typed(VT_ERROR);
  V_ERROR(&value) = DISP_E_PARAMNOTFOUND;
  return value;
}

}  // namespace variant

Arguments::~Arguments() {
  for (VARIANT& value : m_values) VariantClear(&value);
}

// A put names its value DISPID_PROPERTYPUT, as script engines do.
InvokeResult Invoke(IDispatch* object, DISPID id, WORD flags, const Arguments& arguments) {
  std::vector<VARIANT> reversed = arguments.Reversed();
  DISPID putId = DISPID_PROPERTYPUT;
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  DISPPARAMS parameters = {reversed.data(), put ? &putId : nullptr,
                           static_cast<UINT>(reversed.size()), put ? 1u : 0u};
  InvokeResult result;
  EXCEPINFO exception = {};
  UINT argumentError = 0;
  result.invoke = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters,
                                 result.value.Put(), &exception, &argumentError);
  result.code = result.invoke == DISP_E_EXCEPTION ? exception.scode : result.invoke;
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return result;
}

InvokeResult InvokeByName(IDispatch* object, const wchar_t* name, WORD flags,
                          const Arguments& arguments) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  const HRESULT found = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(found)) {
    InvokeResult result;
    result.invoke = result.code = found;
    return result;
  }
  return Invoke(object, id, flags, arguments);
}

}  // namespace zx::test
