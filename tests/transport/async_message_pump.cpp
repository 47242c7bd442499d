// zxtest_message_pump.dll: a test-only COM object, "ZxTest.MessagePump",
// whose wait(ms) dispatches the calling thread's messages for a while. The
// Wine script host has no message loop and no WScript.Sleep, so without it
// an asynchronous page script could never see its handlers run.
#include <windows.h>
#include <oleauto.h>

#include <new>
#include <string>

#include "common/win_resources.h"
#include "harness/message_pump.h"
#include "harness/process_probes.h"
#include "harness/request_driver.h"

namespace {

// {D7CF1571-CF76-46AF-857B-FBEB648D36F5}
const CLSID kClsid = {0xd7cf1571, 0xcf76, 0x46af, {0x85, 0x7b, 0xfb, 0xeb, 0x64, 0x8d, 0x36, 0xf5}};
const wchar_t kClsidText[] = L"{D7CF1571-CF76-46AF-857B-FBEB648D36F5}";
const wchar_t kProgId[] = L"ZxTest.MessagePump";
constexpr DISPID kDispidWait = 1;

HINSTANCE g_module = nullptr;
volatile LONG g_locks = 0;

class MessagePump final : public IDispatch {
 public:
  MessagePump() { InterlockedIncrement(&g_locks); }

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDispatch)) return E_NOINTERFACE;
    *ppv = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_refs); }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG refs = InterlockedDecrement(&m_refs);
    if (refs == 0) delete this;
    return refs;
  }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (count != 1 || !names || !ids) return E_INVALIDARG;
    if (lstrcmpiW(names[0], L"wait") != 0) {
      ids[0] = DISPID_UNKNOWN;
      return DISP_E_UNKNOWNNAME;
    }
    ids[0] = kDispidWait;
    return S_OK;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO*, UINT*) override {
    if (id != kDispidWait) return DISP_E_MEMBERNOTFOUND;
    if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
    if (!params || params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
    zx::UniqueVariant milliseconds;
    HRESULT hr = VariantChangeType(milliseconds.Put(), &params->rgvarg[0], 0, VT_UI4);
    if (FAILED(hr)) return hr;
    zx::test::PumpMessagesUntil([] { return false; }, V_UI4(&milliseconds.Get()));
    if (result) VariantInit(result);
    return S_OK;
  }

 private:
  ~MessagePump() { InterlockedDecrement(&g_locks); }
  volatile LONG m_refs = 1;
};

class Factory final : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory)) {
      return E_NOINTERFACE;
    }
    *ppv = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  // A static object: its references only keep the module loaded.
  STDMETHODIMP_(ULONG) AddRef() override {
    InterlockedIncrement(&g_locks);
    return 2;
  }
  STDMETHODIMP_(ULONG) Release() override {
    InterlockedDecrement(&g_locks);
    return 1;
  }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* pump = new (std::nothrow) MessagePump;
    if (!pump) return E_OUTOFMEMORY;
    const HRESULT hr = pump->QueryInterface(riid, ppv);
    pump->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    lock ? InterlockedIncrement(&g_locks) : InterlockedDecrement(&g_locks);
    return S_OK;
  }
};

Factory g_factory;

LSTATUS SetString(const std::wstring& keyPath, const wchar_t* name, const std::wstring& value) {
  zx::UniqueRegKey key;
  LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE,
                                   nullptr, key.Put(), nullptr);
  if (status != ERROR_SUCCESS) return status;
  return RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
  if (!IsEqualCLSID(clsid, kClsid)) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(riid, ppv);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return g_locks == 0 ? S_OK : S_FALSE; }

extern "C" HRESULT WINAPI DllRegisterServer() {
  wchar_t path[MAX_PATH] = {};
  if (!GetModuleFileNameW(g_module, path, MAX_PATH)) return HRESULT_FROM_WIN32(GetLastError());
  const std::wstring clsidKey = std::wstring(L"CLSID\\") + kClsidText;
  LSTATUS status = SetString(std::wstring(kProgId) + L"\\CLSID", nullptr, kClsidText);
  if (status == ERROR_SUCCESS) status = SetString(clsidKey + L"\\ProgID", nullptr, kProgId);
  if (status == ERROR_SUCCESS) status = SetString(clsidKey + L"\\InprocServer32", nullptr, path);
  if (status == ERROR_SUCCESS) {
    status = SetString(clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
  }
  return HRESULT_FROM_WIN32(status);
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
  RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
  RegDeleteTreeW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + kClsidText).c_str());
  return S_OK;
}
