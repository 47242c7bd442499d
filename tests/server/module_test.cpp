// The module as a client sees it: a lock count that follows factory
// references, objects and LockServer, and the type library that pages bind
// to by name. (Every test finds the four server exports by their
// undecorated names.)
#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <string>

#include "common/win_resources.h"
#include "harness/zxmlhttp_module.h"
#include "res/zxmlhttp_idl.h"

using Microsoft::WRL::ComPtr;

namespace zx::test {
namespace {

class ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(module.Handle(), nullptr); }
  ZxmlhttpModule module;
};

TEST_F(ModuleTest, CanUnloadNowOnlyWithoutFactoriesObjectsAndLocks) {
  EXPECT_EQ(module.CanUnloadNow(), S_OK);
  ComPtr<IClassFactory> factory;
  ComPtr<IUnknown> object;
  ASSERT_EQ(module.GetClassObject(CLSID_ZevXMLHttpRequest, IID_PPV_ARGS(&factory)), S_OK);
  EXPECT_EQ(module.CanUnloadNow(), S_FALSE) << "a factory";
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&object)), S_OK);
  ASSERT_EQ(factory->LockServer(TRUE), S_OK);
  factory.Reset();
  object.Reset();
  EXPECT_EQ(module.CanUnloadNow(), S_FALSE) << "a lock";
  ASSERT_EQ(module.GetClassObject(CLSID_ZevFileDialog, IID_PPV_ARGS(&factory)), S_OK);
  ASSERT_EQ(factory->LockServer(FALSE), S_OK);
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&object)), S_OK);
  factory.Reset();
  EXPECT_EQ(module.CanUnloadNow(), S_FALSE) << "an object";
  object.Reset();
  EXPECT_EQ(module.CanUnloadNow(), S_OK);
}

// Each member as "DISPID name", a property's name after "get " or "put ", in
// the library's order; IUnknown's and IDispatch's own members left out.
std::wstring Members(ITypeInfo* info) {
  TYPEATTR* attributes = nullptr;
  if (FAILED(info->GetTypeAttr(&attributes))) return L"(no attributes)";
  const WORD count = attributes->cFuncs;
  info->ReleaseTypeAttr(attributes);
  std::wstring members;
  for (UINT i = 0; i < count; ++i) {
    FUNCDESC* function = nullptr;
    if (FAILED(info->GetFuncDesc(i, &function))) return members + L"(unreadable)";
    const MEMBERID id = function->memid;
    const INVOKEKIND kind = function->invkind;
    info->ReleaseFuncDesc(function);
    if (id >= 0x60000000) continue;
    UniqueBstr name;
    info->GetDocumentation(id, name.Put(), nullptr, nullptr, nullptr);
    const wchar_t* prefix = kind == INVOKE_FUNC          ? L" "
                            : kind == INVOKE_PROPERTYGET ? L" get "
                                                         : L" put ";
    members += std::to_wstring(id) + prefix + (name ? name.Get() : L"?") + L", ";
  }
  return members;
}

TEST_F(ModuleTest, TypeLibraryKeepsEveryMembersNameDispidAndKind) {
  wchar_t path[MAX_PATH];
  ASSERT_NE(GetModuleFileNameW(module.Handle(), path, MAX_PATH), 0u);
  ComPtr<ITypeLib> library;
  ASSERT_EQ(LoadTypeLibEx(path, REGKIND_NONE, &library), S_OK);
  const std::pair<const IID*, const wchar_t*> interfaces[] = {
      {&IID_IZevXMLHttpRequest,
       L"1 open, 2 setRequestHeader, 3 getResponseHeader, 4 getAllResponseHeaders, 5 send, "
       L"6 abort, 7 get status, 8 get statusText, 9 get responseXML, 10 get responseText, "
       L"11 get responseBody, 12 get responseStream, 13 get readyState, "
       L"14 put onreadystatechange, 15 get servicePort, 16 put ondisconnection, "
       L"17 get isNeedFixConnection, 18 get isOSVersionAfterVista, 19 get fixConnection, "},
      {&IID_IZevFileDialog, L"1 GetOpenFileName, "},
      {&IID_IZevMultiFileDialog, L"1 GetOpenFileNameEx, 2 GetOpenFileNameEx2, "},
  };
  for (const auto& [iid, members] : interfaces) {
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(library->GetTypeInfoOfGuid(*iid, &info), S_OK);
    EXPECT_EQ(Members(info.Get()), members);
  }
}

}  // namespace
}  // namespace zx::test
