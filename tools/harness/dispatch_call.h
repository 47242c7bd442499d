#pragma once
// Calling an object the way a script host does: late bound, through
// IDispatch::Invoke, with arguments of whatever VARIANT type a page passes.
#include <windows.h>
#include <oaidl.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "common/win_resources.h"

namespace zx::test {

// VARIANT values a page can produce, each owning what it points to until an
// Arguments list or a call takes it over.
namespace variant {
VARIANT Text(const std::wstring& text);
VARIANT NullText();
VARIANT Int(LONG value);
VARIANT Short(SHORT value);
VARIANT Real(double value);
VARIANT Flag(bool value);
VARIANT Empty();
VARIANT Null();
VARIANT Object(IDispatch* object);  // adds a reference
VARIANT Bytes(const std::string& bytes);
VARIANT Omitted();  // an optional argument left out
}  // namespace variant

// Arguments in the order a script writes them; cleared at scope exit.
class Arguments {
 public:
  Arguments(std::initializer_list<VARIANT> values) : m_values(values) {}
  ~Arguments();
  Arguments(const Arguments&) = delete;
  Arguments& operator=(const Arguments&) = delete;

  // Reversed, as DISPPARAMS wants them.
  std::vector<VARIANT> Reversed() const { return {m_values.rbegin(), m_values.rend()}; }

 private:
  std::vector<VARIANT> m_values;
};

struct InvokeResult {
  HRESULT invoke = E_FAIL;  // what Invoke returned
  // What a script sees as the error's number: the method's own code when
  // Invoke reports it as an exception.
  HRESULT code = E_FAIL;
  UniqueVariant value;
};

InvokeResult Invoke(IDispatch* object, DISPID id, WORD flags, const Arguments& arguments);
inline InvokeResult CallMethod(IDispatch* object, DISPID id, const Arguments& arguments) {
  return Invoke(object, id, DISPATCH_METHOD, arguments);
}
inline InvokeResult GetProperty(IDispatch* object, DISPID id) {
  return Invoke(object, id, DISPATCH_PROPERTYGET, Arguments{});
}
inline InvokeResult PutProperty(IDispatch* object, DISPID id, VARIANT value) {
  return Invoke(object, id, DISPATCH_PROPERTYPUT, Arguments{value});
}
// By name, looked up on every call as a script engine does.
InvokeResult InvokeByName(IDispatch* object, const wchar_t* name, WORD flags,
                          const Arguments& arguments);

}  // namespace zx::test
