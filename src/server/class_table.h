#pragma once
// The module's three creatable classes, in registration order.
#include <windows.h>

#include "com/class_factory.h"

namespace zx {

struct ClassEntry {
  const CLSID& clsid;
  UINT scriptResourceId;      // REGISTRY resource with the class's script
  const wchar_t* objectName;  // %OBJECT_NAME% of the script
  InstanceCreator create;
  ClassFactory* factory;  // created on first request, kept until unload
};

ClassEntry* ClassTableBegin();
ClassEntry* ClassTableEnd();

// DllGetClassObject: the cached factory of clsid, asked for riid.
HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv);

// Process detach: drops the table's reference to each factory.
void ReleaseClassFactories();

}  // namespace zx
