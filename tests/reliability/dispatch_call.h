#pragma once
// Calling an object the way a script host does: late bound, by DISPID,
// through IDispatch::Invoke, with arguments of whatever VARIANT type a page
// happens to pass.
#include <windows.h>
#include <oaidl.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "common/win_resources.h"

namespace zx::test {

// Arguments in the order a script writes them; owned and cleared here.
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

// VARIANT values a page can produce, each owning what it points to.
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
VARIANT Omitted();

// DISPIDs of the pickers' methods, as the type library publishes them.
namespace picker_dispid {
inline constexpr DISPID kGetOpenFileName = 1;    // IZevFileDialog
inline constexpr DISPID kGetOpenFileNameEx = 1;  // IZevMultiFileDialog
inline constexpr DISPID kGetOpenFileNameEx2 = 2;
}  // namespace picker_dispid

struct InvokeResult {
  HRESULT invoke = E_FAIL;  // what Invoke returned
  // What a script sees as the error's number: the method's own code when
  // Invoke reports it as an exception.
  HRESULT code = E_FAIL;
  UniqueVariant value;
};

InvokeResult CallMethod(IDispatch* object, DISPID id, const Arguments& arguments);
InvokeResult GetProperty(IDispatch* object, DISPID id);
InvokeResult PutProperty(IDispatch* object, DISPID id, VARIANT value);

}  // namespace zx::test
