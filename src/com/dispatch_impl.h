#pragma once
// IDispatch for a dual interface, driven by the cached type description:
// names resolve through a case-sensitive cache first, then through the type
// description's own (case-insensitive) lookup; Invoke lets the type
// description convert the arguments and call through the vtable.
#include <windows.h>

#include <algorithm>

#include "com/type_info_cache.h"

namespace zx {

template <class Interface>
class DispatchImpl : public Interface {
 public:
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
  }

  // The interface has one type description, whatever index is asked for.
  STDMETHODIMP GetTypeInfo(UINT, LCID lcid, ITypeInfo** typeInfo) override {
    if (!typeInfo) return E_POINTER;
    *typeInfo = nullptr;
    const CachedTypeInfo* info = nullptr;
    HRESULT hr = GetCachedTypeInfo(__uuidof(Interface), lcid, &info);
    if (FAILED(hr)) return hr;
    return info->typeInfo.CopyTo(typeInfo);
  }

  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID lcid,
                             DISPID* dispids) override {
    // The type description reads the lists and every name unchecked.
    if (!names || !dispids) return E_POINTER;
    if (std::find(names, names + count, nullptr) != names + count) {
      std::fill(dispids, dispids + count, DISPID_UNKNOWN);
      return DISP_E_UNKNOWNNAME;
    }
    const CachedTypeInfo* info = nullptr;
    HRESULT hr = GetCachedTypeInfo(__uuidof(Interface), lcid, &info);
    if (FAILED(hr)) return hr;
    if (count == 1) {
      DISPID cached = info->FindExact(names[0]);
      if (cached != DISPID_UNKNOWN) {
        dispids[0] = cached;
        return S_OK;
      }
    }
    return info->typeInfo->GetIDsOfNames(names, count, dispids);
  }

  STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID lcid, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* exception, UINT* argError) override {
    const CachedTypeInfo* info = nullptr;
    HRESULT hr = GetCachedTypeInfo(__uuidof(Interface), lcid, &info);
    if (FAILED(hr)) return hr;
    return info->typeInfo->Invoke(static_cast<Interface*>(this), dispid, flags, params, result,
                                  exception, argError);
  }
};

}  // namespace zx
