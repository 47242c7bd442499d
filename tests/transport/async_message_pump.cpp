// zxtest_message_pump.dll: a test-only COM object, "ZxTest.MessagePump",
// whose wait(ms) dispatches the calling thread's messages for a while. The
// Wine script host has no message loop and no WScript.Sleep, so without it
// an asynchronous page script could never see its handlers run. The one
// object is static and serves as its own class factory, for whichever class
// id tests/scripts/message_pump.js registers it under.
#include <windows.h>
#include <oleauto.h>

#include "common/win_resources.h"
#include "harness/message_pump.h"

namespace {

constexpr DISPID kDispidWait = 1;

class MessagePump final : public IDispatch, public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
      *ppv = static_cast<IDispatch*>(this);
    } else if (IsEqualIID(riid, IID_IClassFactory)) {
      *ppv = static_cast<IClassFactory*>(this);
    }
    return *ppv ? S_OK : E_NOINTERFACE;
  }
  // Static: the module stays loaded while the script host runs.
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return count ? S_OK : E_POINTER;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (count != 1 || !names || !ids) return E_INVALIDARG;
    const bool wait = lstrcmpiW(names[0], L"wait") == 0;
    ids[0] = wait ? kDispidWait : DISPID_UNKNOWN;
    return wait ? S_OK : DISP_E_UNKNOWNNAME;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO*, UINT*) override {
    if (id != kDispidWait || !(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
    if (!params || params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
    zx::UniqueVariant milliseconds;
    const HRESULT hr = VariantChangeType(milliseconds.Put(), &params->rgvarg[0], 0, VT_UI4);
    if (FAILED(hr)) return hr;
    zx::test::PumpMessagesUntil([] { return false; }, V_UI4(&milliseconds.Get()));
    if (result) VariantInit(result);
    return S_OK;
  }

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    return outer ? CLASS_E_NOAGGREGATION : QueryInterface(riid, ppv);
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }
} g_pump;

}  // namespace

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID, REFIID riid, void** ppv) {
  return g_pump.QueryInterface(riid, ppv);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return S_FALSE; }
