// Checks the compiled type library as a client loads it: scripts bind to
// these names, DISPIDs and types, so every one of them is compared with the
// expected table.
#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "common/win_resources.h"
#include "typelib_expected.h"

namespace zx {
namespace {

using Microsoft::WRL::ComPtr;
using namespace typelib_expected;

constexpr const wchar_t* kIDispatchIid = L"{00020400-0000-0000-C000-000000000046}";
constexpr WORD kIDispatchMethodCount = 7;

std::wstring GuidText(const GUID& guid) {
  wchar_t text[39];
  StringFromGUID2(guid, text, 39);
  return text;
}

GUID ParseGuid(const wchar_t* text) {
  GUID guid{};
  EXPECT_HRESULT_SUCCEEDED(IIDFromString(text, &guid)) << text;
  return guid;
}

std::wstring Text(const UniqueBstr& text) {
  return text ? std::wstring(text.Get(), SysStringLen(text.Get())) : std::wstring();
}

struct Documentation {
  std::wstring name;
  std::wstring help;
  std::wstring helpFile;
};

// Works for ITypeLib (by index) and ITypeInfo (by member id) alike.
template <class Described, class Id>
Documentation DocumentationOf(Described* described, Id id) {
  UniqueBstr name, help, helpFile;
  DWORD context = 0;
  EXPECT_HRESULT_SUCCEEDED(described->GetDocumentation(id, name.Put(), help.Put(), &context, helpFile.Put()));
  return {Text(name), Text(help), Text(helpFile)};
}

// Descriptions lent by ITypeLib / ITypeInfo go back to their lender.
struct ReturnLibAttr {
  ITypeLib* lib;
  void operator()(TLIBATTR* attr) const { lib->ReleaseTLibAttr(attr); }
};
struct ReturnTypeAttr {
  ITypeInfo* info;
  void operator()(TYPEATTR* attr) const { info->ReleaseTypeAttr(attr); }
};
struct ReturnFuncDesc {
  ITypeInfo* info;
  void operator()(FUNCDESC* desc) const { info->ReleaseFuncDesc(desc); }
};
using LibAttrPtr = std::unique_ptr<TLIBATTR, ReturnLibAttr>;
using TypeAttrPtr = std::unique_ptr<TYPEATTR, ReturnTypeAttr>;
using FuncDescPtr = std::unique_ptr<FUNCDESC, ReturnFuncDesc>;

LibAttrPtr AttributesOf(ITypeLib* lib) {
  TLIBATTR* attr = nullptr;
  EXPECT_HRESULT_SUCCEEDED(lib->GetLibAttr(&attr));
  return LibAttrPtr(attr, {lib});
}

TypeAttrPtr AttributesOf(ITypeInfo* info) {
  TYPEATTR* attr = nullptr;
  EXPECT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attr));
  return TypeAttrPtr(attr, {info});
}

FuncDescPtr FunctionOf(ITypeInfo* info, UINT index) {
  FUNCDESC* desc = nullptr;
  EXPECT_HRESULT_SUCCEEDED(info->GetFuncDesc(index, &desc));
  return FuncDescPtr(desc, {info});
}

ComPtr<ITypeInfo> ReferencedType(ITypeInfo* owner, HREFTYPE ref) {
  ComPtr<ITypeInfo> info;
  EXPECT_HRESULT_SUCCEEDED(owner->GetRefTypeInfo(ref, &info));
  return info;
}

ComPtr<ITypeInfo> ImplementedType(ITypeInfo* owner, UINT index) {
  HREFTYPE ref = 0;
  EXPECT_HRESULT_SUCCEEDED(owner->GetRefTypeOfImplType(index, &ref));
  return ReferencedType(owner, ref);
}

// A dual interface is listed as its dispatch view; index -1 leads to the
// interface whose table the objects implement.
ComPtr<ITypeInfo> VtableView(ITypeInfo* dispatchView) {
  return ImplementedType(dispatchView, static_cast<UINT>(-1));
}

std::wstring TypeName(ITypeInfo* owner, const TYPEDESC& type) {
  switch (type.vt) {
    case VT_PTR:
      return TypeName(owner, *type.lptdesc) + L"*";
    case VT_USERDEFINED: {
      ComPtr<ITypeInfo> named = ReferencedType(owner, type.hreftype);
      return named ? DocumentationOf(named.Get(), MEMBERID_NIL).name : L"<unresolved>";
    }
    case VT_DISPATCH:
      return L"IDispatch*";
    case VT_BSTR:
      return L"BSTR";
    case VT_VARIANT:
      return L"VARIANT";
    case VT_BOOL:
      return L"VARIANT_BOOL";
    case VT_I4:
      return L"long";
    case VT_UI2:
      return L"unsigned short";
    case VT_UI4:
      return L"unsigned long";
    case VT_HRESULT:
      return L"HRESULT";
  }
  return L"VT " + std::to_wstring(type.vt);
}

std::vector<std::wstring> ExpectedNames(const Operation& operation) {
  std::vector<std::wstring> names{operation.name};
  for (const Param& param : operation.params) {
    if (param.name) names.push_back(param.name);
  }
  return names;
}

std::vector<std::wstring> StoredNames(ITypeInfo* info, MEMBERID id) {
  BSTR raw[16] = {};
  UINT count = 0;
  EXPECT_HRESULT_SUCCEEDED(info->GetNames(id, raw, 16, &count));
  std::vector<std::wstring> names;
  for (UINT i = 0; i < count; ++i) names.push_back(Text(UniqueBstr(raw[i])));
  return names;
}

class TypeLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_HRESULT_SUCCEEDED(LoadTypeLibEx(ZX_TYPELIB_PATH, REGKIND_NONE, &m_lib)) << ZX_TYPELIB_PATH;
  }

  ComPtr<ITypeInfo> TypeOf(const wchar_t* guid) {
    ComPtr<ITypeInfo> info;
    EXPECT_HRESULT_SUCCEEDED(m_lib->GetTypeInfoOfGuid(ParseGuid(guid), &info)) << guid;
    return info;
  }

  // Runs check on the interface's table view and each operation's description.
  template <class Check>
  void ForEachOperation(Check check) {
    for (const Interface* expected : kInterfaces) {
      SCOPED_TRACE(expected->name);
      ComPtr<ITypeInfo> dispatchView = TypeOf(expected->iid);
      ASSERT_TRUE(dispatchView);
      ComPtr<ITypeInfo> vtable = VtableView(dispatchView.Get());
      ASSERT_TRUE(vtable);
      TypeAttrPtr attr = AttributesOf(vtable.Get());
      ASSERT_EQ(attr->cFuncs, expected->operations.size());
      for (UINT i = 0; i < attr->cFuncs; ++i) {
        const Operation& operation = expected->operations[i];
        SCOPED_TRACE(operation.name);
        FuncDescPtr function = FunctionOf(vtable.Get(), i);
        ASSERT_TRUE(function);
        check(vtable.Get(), *function, operation, i);
      }
    }
  }

  ComPtr<ITypeLib> m_lib;
};

TEST_F(TypeLibrary, HasItsIdentityVersionAndLocale) {
  LibAttrPtr attr = AttributesOf(m_lib.Get());
  ASSERT_TRUE(attr);
  EXPECT_EQ(GuidText(attr->guid), kLibid);
  EXPECT_EQ(attr->wMajorVerNum, 1);
  EXPECT_EQ(attr->wMinorVerNum, 0);
  EXPECT_EQ(attr->lcid, kLibraryLcid);
  EXPECT_EQ(attr->syskind, SYS_WIN32);
  // The loader adds LIBFLAG_FHASDISKIMAGE; the library itself sets no flag.
  EXPECT_EQ(attr->wLibFlags & ~LIBFLAG_FHASDISKIMAGE, 0);
}

TEST_F(TypeLibrary, HasItsNameAndHelpStringAndNoHelpFile) {
  Documentation doc = DocumentationOf(m_lib.Get(), -1);
  EXPECT_EQ(doc.name, kLibraryName);
  EXPECT_EQ(doc.help, kLibraryHelp);
  EXPECT_EQ(doc.helpFile, L"");
}

TEST_F(TypeLibrary, HoldsExactlyTheThreeClassesAndTheirInterfaces) {
  std::set<std::pair<std::wstring, TYPEKIND>> expected;
  for (const Class& cls : kClasses) expected.insert({cls.name, TKIND_COCLASS});
  for (const Interface* itf : kInterfaces) expected.insert({itf->name, TKIND_DISPATCH});

  std::set<std::pair<std::wstring, TYPEKIND>> stored;
  for (UINT i = 0; i < m_lib->GetTypeInfoCount(); ++i) {
    TYPEKIND kind{};
    EXPECT_HRESULT_SUCCEEDED(m_lib->GetTypeInfoType(i, &kind));
    stored.insert({DocumentationOf(m_lib.Get(), static_cast<INT>(i)).name, kind});
  }
  EXPECT_EQ(stored, expected);
}

TEST_F(TypeLibrary, ClassesHaveTheirNamesAndHelpStrings) {
  for (const Class& expected : kClasses) {
    ComPtr<ITypeInfo> cls = TypeOf(expected.clsid);
    ASSERT_TRUE(cls);
    Documentation doc = DocumentationOf(cls.Get(), MEMBERID_NIL);
    EXPECT_EQ(doc.name, expected.name);
    EXPECT_EQ(doc.help, expected.help);
  }
}

TEST_F(TypeLibrary, ClassesAreCreatableWithTheirInterfaceAsTheOnlyDefault) {
  for (const Class& expected : kClasses) {
    SCOPED_TRACE(expected.name);
    ComPtr<ITypeInfo> cls = TypeOf(expected.clsid);
    ASSERT_TRUE(cls);
    TypeAttrPtr attr = AttributesOf(cls.Get());
    EXPECT_EQ(attr->typekind, TKIND_COCLASS);
    EXPECT_EQ(attr->wTypeFlags, TYPEFLAG_FCANCREATE);
    ASSERT_EQ(attr->cImplTypes, 1);
    INT flags = 0;
    EXPECT_HRESULT_SUCCEEDED(cls->GetImplTypeFlags(0, &flags));
    EXPECT_EQ(flags, IMPLTYPEFLAG_FDEFAULT);
    ComPtr<ITypeInfo> itf = ImplementedType(cls.Get(), 0);
    ASSERT_TRUE(itf);
    EXPECT_EQ(GuidText(AttributesOf(itf.Get())->guid), expected.defaultInterface->iid);
  }
}

TEST_F(TypeLibrary, InterfacesHaveTheirNamesAndHelpStringsInBothViews) {
  for (const Interface* expected : kInterfaces) {
    ComPtr<ITypeInfo> dispatchView = TypeOf(expected->iid);
    ASSERT_TRUE(dispatchView);
    ComPtr<ITypeInfo> vtable = VtableView(dispatchView.Get());
    ASSERT_TRUE(vtable);
    for (ITypeInfo* view : {dispatchView.Get(), vtable.Get()}) {
      Documentation doc = DocumentationOf(view, MEMBERID_NIL);
      EXPECT_EQ(doc.name, expected->name);
      EXPECT_EQ(doc.help, expected->help);
    }
  }
}

TEST_F(TypeLibrary, InterfacesAreDualAutomationInterfacesDerivedFromIDispatch) {
  constexpr WORD kDual = TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE;
  constexpr WORD kForbidden = TYPEFLAG_FHIDDEN | TYPEFLAG_FRESTRICTED;
  for (const Interface* expected : kInterfaces) {
    SCOPED_TRACE(expected->name);
    ComPtr<ITypeInfo> dispatchView = TypeOf(expected->iid);
    ASSERT_TRUE(dispatchView);
    EXPECT_EQ(AttributesOf(dispatchView.Get())->typekind, TKIND_DISPATCH);
    ComPtr<ITypeInfo> vtable = VtableView(dispatchView.Get());
    ASSERT_TRUE(vtable);
    TypeAttrPtr attr = AttributesOf(vtable.Get());
    EXPECT_EQ(attr->typekind, TKIND_INTERFACE);
    EXPECT_EQ(GuidText(attr->guid), expected->iid);
    EXPECT_EQ(attr->wTypeFlags & kDual, kDual);
    EXPECT_EQ(attr->wTypeFlags & kForbidden, 0);
    EXPECT_EQ(attr->cbSizeVft, (kIDispatchMethodCount + expected->operations.size()) * sizeof(void*));
    ASSERT_EQ(attr->cImplTypes, 1);
    ComPtr<ITypeInfo> base = ImplementedType(vtable.Get(), 0);
    ASSERT_TRUE(base);
    EXPECT_EQ(GuidText(AttributesOf(base.Get())->guid), kIDispatchIid);
  }
}

TEST_F(TypeLibrary, OperationsFollowTheTableOrderWithTheirDispidsAndKinds) {
  ForEachOperation([](ITypeInfo*, const FUNCDESC& function, const Operation& expected, UINT index) {
    EXPECT_EQ(function.memid, expected.dispid);
    EXPECT_EQ(function.invkind, expected.kind);
    EXPECT_EQ(function.oVft, (kIDispatchMethodCount + index) * sizeof(void*));
    EXPECT_EQ(function.funckind, FUNC_PUREVIRTUAL);
    EXPECT_EQ(function.callconv, CC_STDCALL);
    EXPECT_EQ(function.wFuncFlags, 0);
    EXPECT_EQ(function.elemdescFunc.tdesc.vt, VT_HRESULT);
    EXPECT_EQ(function.cParams, expected.params.size());
  });
}

TEST_F(TypeLibrary, OperationsHaveTheirNamesAndParameterNames) {
  ForEachOperation([](ITypeInfo* vtable, const FUNCDESC& function, const Operation& expected, UINT) {
    EXPECT_EQ(StoredNames(vtable, function.memid), ExpectedNames(expected));
  });
}

TEST_F(TypeLibrary, ParametersHaveTheirTypesDirectionsAndOptionalFlags) {
  ForEachOperation([](ITypeInfo* vtable, const FUNCDESC& function, const Operation& expected, UINT) {
    ASSERT_EQ(function.cParams, expected.params.size());
    for (SHORT i = 0; i < function.cParams; ++i) {
      SCOPED_TRACE("parameter " + std::to_string(i));
      const ELEMDESC& param = function.lprgelemdescParam[i];
      EXPECT_EQ(TypeName(vtable, param.tdesc), expected.params[i].type);
      EXPECT_EQ(param.paramdesc.wParamFlags, expected.params[i].flags);
    }
  });
}

TEST_F(TypeLibrary, OperationsHaveTheirHelpStrings) {
  ForEachOperation([](ITypeInfo* vtable, const FUNCDESC& function, const Operation& expected, UINT) {
    Documentation doc = DocumentationOf(vtable, function.memid);
    EXPECT_EQ(doc.name, expected.name);
    EXPECT_EQ(doc.help, expected.help);
  });
}

// Scripts reach the objects through the dispatch view: member names give
// the DISPIDs (in any case), parameter names the positions of named arguments.
TEST_F(TypeLibrary, ScriptNamesResolveToDispidsAndArgumentPositions) {
  for (const Interface* expected : kInterfaces) {
    ComPtr<ITypeInfo> dispatchView = TypeOf(expected->iid);
    ASSERT_TRUE(dispatchView);
    for (const Operation& operation : expected->operations) {
      SCOPED_TRACE(operation.name);
      std::vector<std::wstring> names = ExpectedNames(operation);
      std::vector<LPOLESTR> pointers;
      for (std::wstring& name : names) pointers.push_back(name.data());
      std::vector<MEMBERID> ids(names.size(), DISPID_UNKNOWN);
      ASSERT_HRESULT_SUCCEEDED(dispatchView->GetIDsOfNames(pointers.data(), pointers.size(), ids.data()));
      std::vector<MEMBERID> expectedIds{operation.dispid};
      for (MEMBERID position = 0; position + 1 < static_cast<MEMBERID>(names.size()); ++position) {
        expectedIds.push_back(position);
      }
      EXPECT_EQ(ids, expectedIds);

      std::wstring upper = operation.name;
      CharUpperBuffW(upper.data(), upper.size());
      LPOLESTR upperName = upper.data();
      MEMBERID id = DISPID_UNKNOWN;
      EXPECT_HRESULT_SUCCEEDED(dispatchView->GetIDsOfNames(&upperName, 1, &id));
      EXPECT_EQ(id, operation.dispid);
    }
  }
}

TEST_F(TypeLibrary, ColorParametersUseTheStandardOleColorAlias) {
  ComPtr<ITypeInfo> dispatchView = TypeOf(kMultiFileDialogInterface.iid);
  ASSERT_TRUE(dispatchView);
  ComPtr<ITypeInfo> vtable = VtableView(dispatchView.Get());
  ASSERT_TRUE(vtable);
  for (UINT i = 0; i < kMultiFileDialogInterface.operations.size(); ++i) {
    FuncDescPtr function = FunctionOf(vtable.Get(), i);
    ASSERT_TRUE(function);
    const TYPEDESC& color = function->lprgelemdescParam[3].tdesc;
    ASSERT_EQ(color.vt, VT_USERDEFINED);
    ComPtr<ITypeInfo> alias = ReferencedType(vtable.Get(), color.hreftype);
    ASSERT_TRUE(alias);
    TypeAttrPtr attr = AttributesOf(alias.Get());
    EXPECT_EQ(attr->typekind, TKIND_ALIAS);
    EXPECT_EQ(attr->tdescAlias.vt, VT_UI4);
    ComPtr<ITypeLib> owner;
    UINT index = 0;
    ASSERT_HRESULT_SUCCEEDED(alias->GetContainingTypeLib(&owner, &index));
    EXPECT_EQ(GuidText(AttributesOf(owner.Get())->guid), kStdOleLibid);
  }
}

}  // namespace
}  // namespace zx
