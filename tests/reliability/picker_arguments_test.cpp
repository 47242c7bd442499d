// Hostile script input to the pickers through IDispatch: positions of any
// VARIANT type, null, huge and invalid captions. Every call returns one of
// the pickers' results; a dialog that shows is closed by the test.
#include <windows.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "harness/zxmlhttp_module.h"
#include "reliability/dialog_closer.h"
#include "reliability/dispatch_call.h"
#include "res/zxmlhttp_idl.h"

using Microsoft::WRL::ComPtr;
using namespace zx::test;

namespace {

using namespace zx::test::picker_dispid;

// S_OK with paths, S_FALSE without; E_NOTIMPL while a picker is not built.
::testing::AssertionResult IsPickerResult(const InvokeResult& result) {
  const HRESULT code = result.code;
  if (code != S_OK && code != S_FALSE && code != E_NOTIMPL) {
    return ::testing::AssertionFailure() << "code 0x" << std::hex << code;
  }
  const VARTYPE type = V_VT(&result.value.Get());
  if (type != VT_EMPTY && type != VT_BSTR) return ::testing::AssertionFailure() << "type " << type;
  return ::testing::AssertionSuccess();
}

class PickerArgumentsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    ASSERT_EQ(module.Register(), S_OK);
    ASSERT_EQ(module.Create(CLSID_ZevFileDialog, IID_IDispatch, &folder), S_OK);
    ASSERT_EQ(module.Create(CLSID_ZevMultiFileDialog, IID_IDispatch, &scan), S_OK);
  }
  void TearDown() override {
    folder.Reset();
    scan.Reset();
    EXPECT_EQ(module.CanUnloadNow(), S_OK);
    CoUninitialize();
  }

  InvokeResult ShowAt(VARIANT x, VARIANT y, VARIANT relative) {
    return CallMethod(scan.Get(), kGetOpenFileNameEx2,
                      Arguments{Flag(false), Text(L"caption"), Text(L"subtitle"), Int(0), x, y,
                                relative, Empty()});
  }
  InvokeResult ShowCaptioned(VARIANT caption, VARIANT subtitle) {
    return CallMethod(scan.Get(), kGetOpenFileNameEx,
                      Arguments{Flag(true), caption, subtitle, Int(0x00FF00FF)});
  }

  ZxmlhttpModule module;
  ComPtr<IDispatch> folder, scan;
  DialogCloser closer;
};

TEST_F(PickerArgumentsTest, PositionsOfAnyTypeGiveAPickerResult) {
  struct Case {
    const char* name;
    VARIANT x, y;
  } cases[] = {
      {"integers", Int(10), Int(20)},
      {"extremes", Int(INT_MIN), Int(INT_MAX)},
      {"strings (pointers)", Text(L"10"), Text(L"20")},
      {"reals", Real(1e300), Real(-1e300)},
      {"empty and null", Empty(), Null()},
      {"objects", Object(nullptr), Object(nullptr)},
      {"bytes", Bytes("xy"), Bytes("")},
      {"omitted", Omitted(), Omitted()},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(IsPickerResult(ShowAt(c.x, c.y, Flag(false))));
  }
  EXPECT_TRUE(IsPickerResult(ShowAt(Int(-5000), Int(-5000), Flag(true))));
  EXPECT_TRUE(IsPickerResult(ShowAt(Int(0), Int(0), Short(2))));
}

TEST_F(PickerArgumentsTest, CaptionsOfAnyKindGiveAPickerResult) {
  const std::wstring huge(1 << 20, L'c');
  struct Case {
    const char* name;
    VARIANT caption, subtitle;
  } cases[] = {
      {"null", NullText(), NullText()},
      {"empty", Text(L""), Text(L"")},
      {"huge", Text(huge), Text(huge)},
      {"lone surrogates", Text(L"\xD800x\xDC00"), Text(L"\xDFFF")},
      {"control characters and an embedded zero", Text(std::wstring(L"a\0b\r\n\t", 6)),
       Text(L"%s%n")},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(IsPickerResult(ShowCaptioned(c.caption, c.subtitle)));
  }
  for (VARIANT title : {NullText(), Text(huge), Text(L"\xD800"), Int(7)}) {
    EXPECT_TRUE(IsPickerResult(CallMethod(folder.Get(), kGetOpenFileName, Arguments{title})));
  }
}

}  // namespace
