#include "com/class_factory.h"

#include "com/module.h"

namespace zx {

STDMETHODIMP ClassFactory::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
    *ppv = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

// A client reference beyond the table's own keeps the module loaded.
STDMETHODIMP_(ULONG) ClassFactory::AddRef() {
  LONG refs = InterlockedIncrement(&m_refs);
  if (refs == 2) Module::Instance().Lock();
  return refs;
}

STDMETHODIMP_(ULONG) ClassFactory::Release() {
  LONG refs = InterlockedDecrement(&m_refs);
  if (refs == 1) Module::Instance().Unlock();
  if (refs == 0) delete this;
  return refs;
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
  return m_create(outer, riid, ppv);
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
  if (lock) {
    Module::Instance().Lock();
  } else {
    Module::Instance().Unlock();
  }
  return S_OK;
}

}  // namespace zx
