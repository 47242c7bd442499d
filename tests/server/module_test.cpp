// The module as a client sees it: exactly the four server exports, a lock
// count that follows factory references, LockServer and objects, and the
// refusals at the class factory (aggregation, a constructor out of memory).
#include <windows.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <new>
#include <string>

#include "com/com_object.h"
#include "harness/zxmlhttp_module.h"
#include "res/zxmlhttp_idl.h"

using Microsoft::WRL::ComPtr;
using zx::test::ZxmlhttpModule;

namespace {

const CLSID* const kClasses[] = {&CLSID_ZevXMLHttpRequest, &CLSID_ZevFileDialog,
                                 &CLSID_ZevMultiFileDialog};

// An outer object that is never asked anything: aggregation is refused first.
class OuterUnknown : public IUnknown {
 public:
  STDMETHODIMP QueryInterface(REFIID, void** ppv) override {
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
};

class ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(module.Handle(), nullptr); }
  ZxmlhttpModule module;
};

TEST_F(ModuleTest, ExportsExactlyTheFourServerEntryPointsUndecorated) {
  auto* base = reinterpret_cast<BYTE*>(module.Handle());
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  auto* exports = reinterpret_cast<IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
  ASSERT_EQ(exports->NumberOfNames, 4u);
  auto* names = reinterpret_cast<DWORD*>(base + exports->AddressOfNames);
  const char* expected[] = {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                            "DllUnregisterServer"};
  for (int i = 0; i < 4; ++i) EXPECT_STREQ(reinterpret_cast<char*>(base + names[i]), expected[i]);
}

TEST_F(ModuleTest, CanUnloadNowFollowsFactoryReferencesObjectsAndLockServer) {
  EXPECT_EQ(module.CanUnloadNow(), S_OK);
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(module.GetClassObject(CLSID_ZevXMLHttpRequest, IID_IClassFactory, &factory), S_OK);
  EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
  ComPtr<IUnknown> object;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, &object), S_OK);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  factory.Reset();
  object.Reset();
  EXPECT_EQ(module.CanUnloadNow(), S_FALSE);  // only the server lock left
  ASSERT_EQ(module.GetClassObject(CLSID_ZevXMLHttpRequest, IID_IClassFactory, &factory), S_OK);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  factory.Reset();
  EXPECT_EQ(module.CanUnloadNow(), S_OK);
}

TEST_F(ModuleTest, AggregationIsRefusedForAnyInterfaceButIUnknown) {
  OuterUnknown outer;
  for (const CLSID* clsid : kClasses) {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(module.GetClassObject(*clsid, IID_IClassFactory, &factory), S_OK);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(&outer, IID_IDispatch, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
  }
  EXPECT_EQ(module.CanUnloadNow(), S_OK);
}

// A class whose constructor runs out of memory, as the request object's
// would while it builds its service table.
class OutOfMemoryInConstructor final : public zx::ComClass<IUnknown> {
 public:
  explicit OutOfMemoryInConstructor(IUnknown* outer) : ComClass(outer) { throw std::bad_alloc(); }

 private:
  void* FindInterface(REFIID) override { return nullptr; }
};

TEST(ClassFactory, ConstructorOutOfMemoryGivesEOutOfMemory) {
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(zx::CreateComObject<OutOfMemoryInConstructor>(nullptr, IID_IUnknown, &object),
            E_OUTOFMEMORY);
  EXPECT_EQ(object, nullptr);
}

}  // namespace
