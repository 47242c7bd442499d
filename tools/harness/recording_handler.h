#pragma once
// A script handler stand-in: an IDispatch that counts its calls, records
// the thread and the arguments, and can run a test's action while called.
// It lives on the test's stack; its count only shows the balance.
#include <windows.h>
#include <oaidl.h>

#include <functional>

namespace zx::test {

class RecordingHandler final : public IDispatch {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDispatch)) return E_NOINTERFACE;
    *ppv = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs); }
  // Never frees itself: a release of the last reference while the handler
  // runs is recorded instead of touching freed memory.
  STDMETHODIMP_(ULONG) Release() override {
    LONG left = InterlockedDecrement(&refs);
    if (left == 0 && running) releasedWhileRunning = true;
    return left;
  }
  STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                      VARIANT*, EXCEPINFO*, UINT*) override {
    running = true;
    ++calls;
    threadId = GetCurrentThreadId();
    lastDispid = dispid;
    lastLcid = lcid;
    lastFlags = flags;
    lastArgumentCount = params ? params->cArgs : ~0u;
    nullIid = IsEqualIID(riid, IID_NULL);
    if (onCall) onCall();
    running = false;
    return S_OK;
  }

  volatile LONG refs = 1;
  volatile LONG calls = 0;
  DWORD threadId = 0;
  DISPID lastDispid = -1;
  LCID lastLcid = 0;
  WORD lastFlags = 0;
  UINT lastArgumentCount = 0;
  bool nullIid = false;
  bool running = false;
  bool releasedWhileRunning = false;
  std::function<void()> onCall;
};

// A script handler is called as its default method: DISPID_VALUE, IID_NULL,
// the user's default locale, no arguments.
#define EXPECT_CALLED_AS_SCRIPT_HANDLER(handler)     \
  do {                                               \
    EXPECT_EQ((handler).lastDispid, DISPID_VALUE);   \
    EXPECT_EQ((handler).lastLcid, 0x0400u);          \
    EXPECT_EQ((handler).lastFlags, DISPATCH_METHOD); \
    EXPECT_EQ((handler).lastArgumentCount, 0u);      \
    EXPECT_TRUE((handler).nullIid);                  \
  } while (false)

}  // namespace zx::test
