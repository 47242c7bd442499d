#include "com/com_object.h"

namespace zx {

AggregatableObject::AggregatableObject(IUnknown* outer)
    : m_controlling(outer ? outer : &m_inner) {
  Module::Instance().Lock();
}

AggregatableObject::~AggregatableObject() { Module::Instance().Unlock(); }

STDMETHODIMP AggregatableObject::NonDelegatingUnknown::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  // Aggregated, the outer object asks for IUnknown to get this inner one;
  // stand-alone, the class's own interface is the object's identity.
  bool aggregated = m_owner.m_controlling != this;
  void* found = aggregated && IsEqualIID(riid, IID_IUnknown) ? static_cast<IUnknown*>(this)
                                                             : m_owner.FindInterface(riid);
  *ppv = found;
  if (!found) return E_NOINTERFACE;
  static_cast<IUnknown*>(found)->AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) AggregatableObject::NonDelegatingUnknown::AddRef() { return ++m_owner.m_refs; }

STDMETHODIMP_(ULONG) AggregatableObject::NonDelegatingUnknown::Release() {
  ULONG refs = --m_owner.m_refs;
  if (refs == 0) delete &m_owner;
  return refs;
}

}  // namespace zx
