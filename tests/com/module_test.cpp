// The module frame as a client sees it: exports, class factories, the lock
// count, aggregation and the interfaces each class answers.
#include <windows.h>
#include <comcat.h>
#include <objsafe.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include "com/zxmlhttp_idl.h"
#include "support/zxmlhttp_module.h"

using Microsoft::WRL::ComPtr;
using zx::test::ZxmlhttpModule;

namespace {

struct ClassCase {
  const CLSID* clsid;
  const IID* own;
};

const ClassCase kClasses[] = {
    {&CLSID_ZevXMLHttpRequest, &IID_IZevXMLHttpRequest},
    {&CLSID_ZevFileDialog, &IID_IZevFileDialog},
    {&CLSID_ZevMultiFileDialog, &IID_IZevMultiFileDialog},
};

class ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(module.Handle(), nullptr); }
  ZxmlhttpModule module;
};

// A minimal outer object for aggregation: counts its own references.
class OuterUnknown : public IUnknown {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (IsEqualIID(riid, IID_IUnknown)) {
      *ppv = this;
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  ULONG refs = 1;
};

TEST_F(ModuleTest, ExportsExactlyTheFourServerEntryPointsUndecorated) {
  auto* base = reinterpret_cast<BYTE*>(module.Handle());
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
  ASSERT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  auto* exports = reinterpret_cast<IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
  ASSERT_EQ(exports->NumberOfNames, 4u);
  auto* names = reinterpret_cast<DWORD*>(base + exports->AddressOfNames);
  const char* expected[] = {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                            "DllUnregisterServer"};
  for (int i = 0; i < 4; ++i) EXPECT_STREQ(reinterpret_cast<char*>(base + names[i]), expected[i]);
}

TEST_F(ModuleTest, ClassObjectLookupReportsUnknownClassesAndNullPointers) {
  void* object = nullptr;
  EXPECT_EQ(module.GetClassObject(IID_IUnknown, IID_IClassFactory, &object),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(module.GetClassObject(CLSID_ZevXMLHttpRequest, IID_IClassFactory, nullptr), E_POINTER);
  EXPECT_EQ(module.GetClassObject(CLSID_ZevXMLHttpRequest, IID_IDispatch, &object), E_NOINTERFACE);
}

TEST_F(ModuleTest, EachClassHasOneCachedFactory) {
  for (const ClassCase& c : kClasses) {
    ComPtr<IClassFactory> first, second;
    ASSERT_EQ(module.GetClassObject(*c.clsid, IID_IClassFactory, &first), S_OK);
    ASSERT_EQ(module.GetClassObject(*c.clsid, IID_IClassFactory, &second), S_OK);
    EXPECT_EQ(first.Get(), second.Get());
  }
}

TEST_F(ModuleTest, LockCountFollowsFactoryReferencesLocksAndObjects) {
  EXPECT_EQ(module.CanUnloadNow(), S_OK);
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(module.GetClassObject(CLSID_ZevXMLHttpRequest, IID_IClassFactory, &factory), S_OK);
  EXPECT_EQ(module.CanUnloadNow(), S_FALSE);

  ComPtr<IUnknown> object;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, &object), S_OK);
  factory.Reset();
  EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
  object.Reset();
  EXPECT_EQ(module.CanUnloadNow(), S_OK);

  ASSERT_EQ(module.GetClassObject(CLSID_ZevFileDialog, IID_IClassFactory, &factory), S_OK);
  factory->LockServer(TRUE);
  factory.Reset();
  EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
  ASSERT_EQ(module.GetClassObject(CLSID_ZevFileDialog, IID_IClassFactory, &factory), S_OK);
  factory->LockServer(FALSE);
  factory.Reset();
  EXPECT_EQ(module.CanUnloadNow(), S_OK);
}

TEST_F(ModuleTest, AggregationIsRefusedForAnyInterfaceButIUnknown) {
  OuterUnknown outer;
  for (const ClassCase& c : kClasses) {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(module.GetClassObject(*c.clsid, IID_IClassFactory, &factory), S_OK);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(&outer, IID_IDispatch, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, nullptr), E_POINTER);
  }
}

TEST_F(ModuleTest, AggregatedObjectDelegatesItsInterfacesToTheOuterObject) {
  for (const ClassCase& c : kClasses) {
    OuterUnknown outer;
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(module.GetClassObject(*c.clsid, IID_IClassFactory, &factory), S_OK);
    IUnknown* inner = nullptr;
    ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&inner)), S_OK);
    IDispatch* dispatch = nullptr;
    ASSERT_EQ(inner->QueryInterface(*c.own, reinterpret_cast<void**>(&dispatch)), S_OK);
    EXPECT_EQ(outer.refs, 2u);  // the inner object's AddRef went to the outer one

    IUnknown* identity = nullptr;
    ASSERT_EQ(dispatch->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity, static_cast<IUnknown*>(&outer));
    identity->Release();
    dispatch->Release();
    EXPECT_EQ(outer.refs, 1u);
    EXPECT_EQ(inner->Release(), 0u);
  }
  EXPECT_EQ(module.CanUnloadNow(), S_OK);
}

TEST_F(ModuleTest, EachClassAnswersItsOwnInterfaceDispatchAndSiteOnly) {
  for (const ClassCase& c : kClasses) {
    ComPtr<IUnknown> object;
    ASSERT_EQ(module.Create(*c.clsid, IID_IUnknown, &object), S_OK);
    ComPtr<IUnknown> own, dispatch, site, identity;
    EXPECT_EQ(object.CopyTo(*c.own, reinterpret_cast<void**>(own.GetAddressOf())), S_OK);
    EXPECT_EQ(object.CopyTo(IID_IDispatch, reinterpret_cast<void**>(dispatch.GetAddressOf())), S_OK);
    EXPECT_EQ(object.As(&identity), S_OK);
    EXPECT_EQ(own.Get(), dispatch.Get());
    EXPECT_EQ(own.Get(), identity.Get());  // a stand-alone object is its own interface

    ComPtr<IObjectWithSite> withSite;
    ASSERT_EQ(object.As(&withSite), S_OK);
    EXPECT_EQ(withSite->SetSite(nullptr), S_OK);
    void* none = nullptr;
    EXPECT_EQ(withSite->GetSite(IID_IUnknown, &none), E_NOTIMPL);

    for (const IID* refused : {&IID_IProvideClassInfo, &IID_IObjectSafety, &IID_IPersist,
                               &IID_IClassFactory}) {
      void* answer = reinterpret_cast<void*>(1);
      EXPECT_EQ(object->QueryInterface(*refused, &answer), E_NOINTERFACE);
      EXPECT_EQ(answer, nullptr);
    }
    EXPECT_EQ(object->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
  }
}

}  // namespace
