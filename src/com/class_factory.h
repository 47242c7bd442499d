#pragma once
// The one class factory shared by all rows of the class table.
#include <windows.h>
#include <objbase.h>

namespace zx {

using InstanceCreator = HRESULT (*)(IUnknown* outer, REFIID riid, void** ppv);

class ClassFactory final : public IClassFactory {
 public:
  // Starts with the one reference the class table keeps for the life of
  // the process; that reference does not lock the module.
  explicit ClassFactory(InstanceCreator create) : m_create(create) {}

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
  STDMETHODIMP LockServer(BOOL lock) override;

 private:
  ~ClassFactory() = default;

  InstanceCreator m_create;
  // Clients on any thread may hold the factory: interlocked.
  volatile LONG m_refs = 1;
};

}  // namespace zx
