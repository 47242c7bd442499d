// The type library inside the module, compared with the table scripts and
// early-bound clients were written against (typelib_expected.h): the
// library's identity, each class's default interface, and each operation's
// place in the table, DISPID, kind, names and parameter types.
#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/win_resources.h"
#include "harness/zxmlhttp_module.h"
#include "typelib_expected.h"

namespace zx {
namespace {

using Microsoft::WRL::ComPtr;
using namespace typelib_expected;

constexpr size_t kIDispatchMethodCount = 7;

std::wstring GuidText(const GUID& guid) {
  wchar_t text[39];
  StringFromGUID2(guid, text, 39);
  return text;
}

std::wstring Text(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : L""; }

// An attribute block lent by a type library or type description, returned
// to its lender.
template <class Lender, class Attributes, void (STDMETHODCALLTYPE Lender::*giveBack)(Attributes*)>
struct Returner {
  Lender* lender;
  void operator()(Attributes* attributes) const { (lender->*giveBack)(attributes); }
};
using TypeAttrPtr =
    std::unique_ptr<TYPEATTR, Returner<ITypeInfo, TYPEATTR, &ITypeInfo::ReleaseTypeAttr>>;
using FuncDescPtr =
    std::unique_ptr<FUNCDESC, Returner<ITypeInfo, FUNCDESC, &ITypeInfo::ReleaseFuncDesc>>;

TypeAttrPtr AttributesOf(ITypeInfo* info) {
  TYPEATTR* attributes = nullptr;
  EXPECT_EQ(info->GetTypeAttr(&attributes), S_OK);
  return TypeAttrPtr(attributes, {info});
}

ComPtr<ITypeInfo> ImplementedType(ITypeInfo* owner, UINT index) {
  HREFTYPE ref = 0;
  ComPtr<ITypeInfo> info;
  if (SUCCEEDED(owner->GetRefTypeOfImplType(index, &ref))) owner->GetRefTypeInfo(ref, &info);
  return info;
}

std::wstring TypeName(ITypeInfo* owner, const TYPEDESC& type) {
  switch (type.vt) {
    case VT_PTR: return TypeName(owner, *type.lptdesc) + L"*";
    case VT_USERDEFINED: {
      ComPtr<ITypeInfo> named;
      UniqueBstr name;
      if (SUCCEEDED(owner->GetRefTypeInfo(type.hreftype, &named))) {
        named->GetDocumentation(MEMBERID_NIL, name.Put(), nullptr, nullptr, nullptr);
      }
      return Text(name.Get());
    }
    case VT_DISPATCH: return L"IDispatch*";
    case VT_BSTR: return L"BSTR";
    case VT_VARIANT: return L"VARIANT";
    case VT_BOOL: return L"VARIANT_BOOL";
    case VT_I4: return L"long";
    case VT_UI2: return L"unsigned short";
  }
  return L"VT " + std::to_wstring(type.vt);
}

std::vector<std::wstring> StoredNames(ITypeInfo* info, MEMBERID id) {
  BSTR raw[16] = {};
  UINT count = 0;
  EXPECT_EQ(info->GetNames(id, raw, 16, &count), S_OK);
  std::vector<std::wstring> names;
  for (UINT i = 0; i < count; ++i) names.push_back(Text(UniqueBstr(raw[i]).Get()));
  return names;
}

void ExpectOperation(ITypeInfo* vtable, UINT index, const Operation& expected) {
  FUNCDESC* raw = nullptr;
  ASSERT_EQ(vtable->GetFuncDesc(index, &raw), S_OK);
  const FuncDescPtr function(raw, {vtable});
  EXPECT_EQ(function->memid, expected.dispid);
  EXPECT_EQ(function->invkind, expected.kind);
  EXPECT_EQ(static_cast<size_t>(function->oVft), (kIDispatchMethodCount + index) * sizeof(void*));
  std::vector<std::wstring> names{expected.name};
  for (const Param& param : expected.params) {
    if (param.name) names.push_back(param.name);
  }
  EXPECT_EQ(StoredNames(vtable, function->memid), names);
  ASSERT_EQ(static_cast<size_t>(function->cParams), expected.params.size());
  for (SHORT i = 0; i < function->cParams; ++i) {
    SCOPED_TRACE("parameter " + std::to_string(i));
    const ELEMDESC& param = function->lprgelemdescParam[i];
    EXPECT_EQ(TypeName(vtable, param.tdesc), expected.params[i].type);
    EXPECT_EQ(param.paramdesc.wParamFlags, expected.params[i].flags);
  }
}

class TypeLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t path[MAX_PATH];
    ASSERT_NE(GetModuleFileNameW(module.Handle(), path, MAX_PATH), 0u);
    ASSERT_EQ(LoadTypeLibEx(path, REGKIND_NONE, &library), S_OK);
  }
  ComPtr<ITypeInfo> TypeOf(const wchar_t* guidText) {
    GUID guid{};
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(IIDFromString(guidText, &guid), S_OK);
    EXPECT_EQ(library->GetTypeInfoOfGuid(guid, &info), S_OK) << guidText;
    return info;
  }

  test::ZxmlhttpModule module;
  ComPtr<ITypeLib> library;
};

TEST_F(TypeLibrary, HasItsIdentityAndEachClassItsDefaultInterface) {
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
  EXPECT_EQ(GuidText(attributes->guid), kLibid);
  EXPECT_EQ(attributes->wMajorVerNum, 1);
  EXPECT_EQ(attributes->wMinorVerNum, 0);
  library->ReleaseTLibAttr(attributes);
  for (const Class& expected : kClasses) {
    SCOPED_TRACE(expected.name);
    ComPtr<ITypeInfo> coclass = TypeOf(expected.clsid);
    ASSERT_TRUE(coclass);
    EXPECT_EQ(AttributesOf(coclass.Get())->wTypeFlags, TYPEFLAG_FCANCREATE);
    ComPtr<ITypeInfo> itf = ImplementedType(coclass.Get(), 0);
    ASSERT_TRUE(itf);
    EXPECT_EQ(GuidText(AttributesOf(itf.Get())->guid), expected.defaultInterface->iid);
  }
}

// A dual interface is listed as its dispatch view; index -1 leads to the
// table the objects implement, in the order early-bound clients call it.
TEST_F(TypeLibrary, OperationsKeepTheirPlaceDispidKindNamesAndParameterTypes) {
  for (const Interface* expected : kInterfaces) {
    SCOPED_TRACE(expected->name);
    ComPtr<ITypeInfo> dispatchView = TypeOf(expected->iid);
    ASSERT_TRUE(dispatchView);
    ComPtr<ITypeInfo> vtable = ImplementedType(dispatchView.Get(), static_cast<UINT>(-1));
    ASSERT_TRUE(vtable);
    EXPECT_TRUE(AttributesOf(vtable.Get())->wTypeFlags & TYPEFLAG_FDUAL);
    ASSERT_EQ(AttributesOf(vtable.Get())->cFuncs, expected->operations.size());
    for (UINT i = 0; i < expected->operations.size(); ++i) {
      SCOPED_TRACE(expected->operations[i].name);
      ExpectOperation(vtable.Get(), i, expected->operations[i]);
    }
  }
}

}  // namespace
}  // namespace zx
