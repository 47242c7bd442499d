#pragma once
// The real zxmlhttp.dll, loaded beside the test program, and its exports.
#include <windows.h>
#include <objbase.h>

namespace zx::test {

class ZxmlhttpModule {
 public:
  ZxmlhttpModule();
  ~ZxmlhttpModule();
  ZxmlhttpModule(const ZxmlhttpModule&) = delete;
  ZxmlhttpModule& operator=(const ZxmlhttpModule&) = delete;

  HMODULE Handle() const { return m_module; }
  HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** ppv) const;
  HRESULT CanUnloadNow() const;
  HRESULT Register() const;
  HRESULT Unregister() const;

  // An instance created through the module's own factory.
  HRESULT Create(REFCLSID clsid, REFIID iid, void** ppv) const;

 private:
  template <class Function>
  Function Export(const char* name) const {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(m_module, name)));
  }

  HMODULE m_module;
};

}  // namespace zx::test
