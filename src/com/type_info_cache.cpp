#include "com/type_info_cache.h"

#include <new>

#include "com/module.h"
#include "com/zxmlhttp_idl.h"
#include "common/win_resources.h"

namespace zx {
namespace {

struct CacheSlot {
  const IID* iid;
  CachedTypeInfo* info;
};

// One slot per dual interface of the library.
CacheSlot g_slots[] = {
    {&IID_IZevXMLHttpRequest, nullptr},
    {&IID_IZevFileDialog, nullptr},
    {&IID_IZevMultiFileDialog, nullptr},
};

CacheSlot* FindSlot(REFIID iid) {
  for (CacheSlot& slot : g_slots) {
    if (IsEqualIID(*slot.iid, iid)) return &slot;
  }
  return nullptr;
}

void FreeTypeInfo(CachedTypeInfo* info) {
  for (UINT i = 0; i < info->nameCount; ++i) SysFreeString(info->names[i].name);
  delete[] info->names;
  if (info->typeInfo) info->typeInfo->Release();
  delete info;
}

// Script hosts pass their own locale; the library is registered only under
// its own, so another locale would fail every call from such a page.
HRESULT LoadTypeLib(LCID lcid, ITypeLib** lib) {
  HRESULT hr = LoadRegTypeLib(LIBID_zxmlhttpLib, 1, 0, lcid, lib);
  if (hr == TYPE_E_LIBNOTREGISTERED && lcid != kTypeLibLcid) {
    hr = LoadRegTypeLib(LIBID_zxmlhttpLib, 1, 0, kTypeLibLcid, lib);
  }
  return hr;
}

HRESULT BuildNameCache(CachedTypeInfo& info) {
  TYPEATTR* attr = nullptr;
  HRESULT hr = info.typeInfo->GetTypeAttr(&attr);
  if (FAILED(hr)) return hr;
  UINT count = attr->cFuncs;
  info.typeInfo->ReleaseTypeAttr(attr);
  info.names = new (std::nothrow) CachedName[count]();
  if (!info.names) return E_OUTOFMEMORY;
  for (UINT i = 0; i < count; ++i) {
    FUNCDESC* func = nullptr;
    hr = info.typeInfo->GetFuncDesc(i, &func);
    if (FAILED(hr)) return hr;
    DISPID dispid = func->memid;
    info.typeInfo->ReleaseFuncDesc(func);
    BSTR name = nullptr;
    hr = info.typeInfo->GetDocumentation(dispid, &name, nullptr, nullptr, nullptr);
    if (FAILED(hr)) return hr;
    info.names[info.nameCount++] = {name, SysStringLen(name), dispid};
  }
  return S_OK;
}

HRESULT LoadTypeInfo(REFIID iid, LCID lcid, CachedTypeInfo** loaded) {
  ITypeLib* lib = nullptr;
  HRESULT hr = LoadTypeLib(lcid, &lib);
  if (FAILED(hr)) return hr;
  auto* info = new (std::nothrow) CachedTypeInfo;
  if (!info) {
    lib->Release();
    return E_OUTOFMEMORY;
  }
  hr = lib->GetTypeInfoOfGuid(iid, &info->typeInfo);
  lib->Release();
  if (SUCCEEDED(hr)) {
    // Keep the richer ITypeInfo2 when the description offers it.
    ITypeInfo2* richer = nullptr;
    if (SUCCEEDED(info->typeInfo->QueryInterface(IID_ITypeInfo2, reinterpret_cast<void**>(&richer)))) {
      info->typeInfo->Release();
      info->typeInfo = richer;
    }
    hr = BuildNameCache(*info);
  }
  if (FAILED(hr)) {
    FreeTypeInfo(info);
    return hr;
  }
  *loaded = info;
  return S_OK;
}

}  // namespace

DISPID CachedTypeInfo::FindExact(const OLECHAR* name) const {
  UINT length = lstrlenW(name);
  for (UINT i = 0; i < nameCount; ++i) {
    if (names[i].length == length && memcmp(names[i].name, name, length * sizeof(OLECHAR)) == 0) {
      return names[i].dispid;
    }
  }
  return DISPID_UNKNOWN;
}

HRESULT GetCachedTypeInfo(REFIID iid, LCID lcid, const CachedTypeInfo** info) {
  CacheSlot* slot = FindSlot(iid);
  if (!slot) return E_NOINTERFACE;
  CriticalSectionGuard guard(Module::Instance().ModuleLock());
  if (!slot->info) {
    CachedTypeInfo* loaded = nullptr;
    HRESULT hr = LoadTypeInfo(iid, lcid, &loaded);
    if (FAILED(hr)) return hr;
    if (!Module::Instance().AddTermination([slot] {
          FreeTypeInfo(slot->info);
          slot->info = nullptr;
        })) {
      FreeTypeInfo(loaded);
      return E_OUTOFMEMORY;
    }
    slot->info = loaded;
  }
  *info = slot->info;
  return S_OK;
}

}  // namespace zx
