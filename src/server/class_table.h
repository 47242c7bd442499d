#pragma once
// The module's three creatable classes, in registration order.
#include <windows.h>
#include <wrl/client.h>

#include "com/class_factory.h"

namespace zx {

struct ClassEntry {
  const CLSID& clsid;
  UINT scriptResourceId;      // REGISTRY resource with the class's script
  const wchar_t* objectName;  // %OBJECT_NAME% of the script
  InstanceCreator create;
  // Created on first request and kept until unload; the table holds the
  // reference it was created with.
  Microsoft::WRL::ComPtr<IClassFactory> factory = nullptr;
};

ClassEntry* ClassTableBegin();
ClassEntry* ClassTableEnd();

// DllGetClassObject: the cached factory of clsid, asked for riid.
HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv);

// Process detach: drops the table's reference to each factory.
void ReleaseClassFactories();

}  // namespace zx
