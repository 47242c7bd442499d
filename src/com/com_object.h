#pragma once
// The reference counting and aggregation plumbing shared by the module's
// three classes. An object is created stand-alone or inside an outer
// unknown; its own interfaces then delegate IUnknown to the outer object,
// and the non-delegating inner unknown is what the outer object holds.
#include <windows.h>
#include <objbase.h>
#include <ocidl.h>

#include "com/com_boundary.h"
#include "com/module.h"

namespace zx {

class AggregatableObject {
 public:
  AggregatableObject(const AggregatableObject&) = delete;
  AggregatableObject& operator=(const AggregatableObject&) = delete;

  // The non-delegating unknown: what CreateInstance hands out.
  IUnknown* InnerUnknown() { return &m_inner; }

 protected:
  // outer: the aggregating object, or null for a stand-alone object.
  explicit AggregatableObject(IUnknown* outer);
  virtual ~AggregatableObject();

  // Where the object's own interfaces send QueryInterface/AddRef/Release.
  IUnknown* ControllingUnknown() const { return m_controlling; }

  // Returns the object's pointer for riid without AddRef, or null;
  // IID_IUnknown maps to the class's own interface.
  virtual void* FindInterface(REFIID riid) = 0;

 private:
  class NonDelegatingUnknown final : public IUnknown {
   public:
    explicit NonDelegatingUnknown(AggregatableObject& owner) : m_owner(owner) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

   private:
    AggregatableObject& m_owner;
  };

  NonDelegatingUnknown m_inner{*this};
  IUnknown* m_controlling;
  // Apartment-threaded: all calls come from one thread, no interlocking.
  ULONG m_refs = 0;
};

// Implements IUnknown for the interfaces of a class by delegating to the
// controlling unknown. Class derives from ComClass<Interfaces...>.
template <class... Interfaces>
class ComClass : public Interfaces..., public AggregatableObject {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    return ControllingUnknown()->QueryInterface(riid, ppv);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ControllingUnknown()->AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return ControllingUnknown()->Release(); }

 protected:
  explicit ComClass(IUnknown* outer) : AggregatableObject(outer) {}
};

// What every class of the module answers: its own dual interface (also as
// IUnknown and IDispatch) and IObjectWithSite; nothing else.
template <class Own, class Object>
void* FindClassInterface(Object* object, REFIID riid) {
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
      IsEqualIID(riid, __uuidof(Own))) {
    return static_cast<Own*>(object);
  }
  if (IsEqualIID(riid, IID_IObjectWithSite)) return static_cast<IObjectWithSite*>(object);
  return nullptr;
}

// Creates an object of class T (constructed from outer) and returns its
// riid; the object is destroyed again when that fails. A constructor that
// runs out of memory gives E_OUTOFMEMORY like every other COM boundary.
template <class T>
HRESULT CreateComObject(IUnknown* outer, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (outer && !IsEqualIID(riid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
  T* object = nullptr;
  const HRESULT created = NoThrow([&] {
    object = new T(outer);
    return S_OK;
  });
  if (created != S_OK) return created;
  IUnknown* inner = object->InnerUnknown();
  inner->AddRef();
  HRESULT hr = inner->QueryInterface(riid, ppv);
  inner->Release();  // destroys the object when the query failed
  return hr;
}

}  // namespace zx
