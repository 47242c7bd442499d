#include "harness/zxmlhttp_module.h"

#include "harness/test_paths.h"

namespace zx::test {

ZxmlhttpModule::ZxmlhttpModule() : m_module(LoadLibraryW(BesideProgram(L"zxmlhttp.dll").c_str())) {}

ZxmlhttpModule::~ZxmlhttpModule() {
  if (m_module) FreeLibrary(m_module);
}

HRESULT ZxmlhttpModule::GetClassObject(REFCLSID clsid, REFIID iid, void** ppv) const {
  using Function = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
  return Export<Function>("DllGetClassObject")(clsid, iid, ppv);
}

HRESULT ZxmlhttpModule::CanUnloadNow() const {
  return Export<HRESULT(WINAPI*)()>("DllCanUnloadNow")();
}

HRESULT ZxmlhttpModule::Register() const {
  return Export<HRESULT(WINAPI*)()>("DllRegisterServer")();
}

HRESULT ZxmlhttpModule::Unregister() const {
  return Export<HRESULT(WINAPI*)()>("DllUnregisterServer")();
}

HRESULT ZxmlhttpModule::Create(REFCLSID clsid, REFIID iid, void** ppv) const {
  IClassFactory* factory = nullptr;
  HRESULT hr = GetClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) return hr;
  hr = factory->CreateInstance(nullptr, iid, ppv);
  factory->Release();
  return hr;
}

}  // namespace zx::test
