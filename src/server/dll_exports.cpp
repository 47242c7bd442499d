// The module's four exports and its entry point.
#include <windows.h>

#include "com/module.h"
#include "server/class_table.h"
#include "server/self_registration.h"

// reserved is non-null at process exit: the other threads are gone and
// other DLLs may be unloaded already, so nothing is torn down then.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    zx::Module::Instance().Attach(instance);
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    const bool processExiting = reserved != nullptr;
    if (!processExiting) zx::ReleaseClassFactories();
    zx::Module::Instance().Detach(processExiting);
  }
  return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
  return zx::GetClassObject(rclsid, riid, ppv);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() {
  return zx::Module::Instance().LockCount() == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT WINAPI DllRegisterServer() { return zx::RegisterServer(); }

extern "C" HRESULT WINAPI DllUnregisterServer() { return zx::UnregisterServer(); }
