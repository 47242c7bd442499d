#include "com/self_registration.h"
namespace zx { HRESULT RegisterServer() { return E_NOTIMPL; } HRESULT UnregisterServer() { return E_NOTIMPL; } }
