#include "server/class_table.h"

#include <new>

#include "com/module.h"
#include "common/win_resources.h"
#include "pickers/zev_file_dialog.h"
#include "pickers/zev_multi_file_dialog.h"
#include "request/zev_xml_http_request.h"
#include "res/resource_ids.h"
#include "res/zxmlhttp_idl.h"

namespace zx {
namespace {

ClassEntry g_classes[] = {
    {CLSID_ZevXMLHttpRequest, IDR_XML_HTTP_REQUEST, L"ZevXMLHttpRequest_0",
     &CreateZevXMLHttpRequest},
    {CLSID_ZevFileDialog, IDR_FILE_DIALOG, L"ZevFileDialog_0", &CreateZevFileDialog},
    {CLSID_ZevMultiFileDialog, IDR_MULTI_FILE_DIALOG, L"ZevMultiFileDialog_0",
     &CreateZevMultiFileDialog},
};

ClassEntry* FindClass(REFCLSID clsid) {
  for (ClassEntry& entry : g_classes) {
    if (IsEqualCLSID(entry.clsid, clsid)) return &entry;
  }
  return nullptr;
}

}  // namespace

ClassEntry* ClassTableBegin() { return std::begin(g_classes); }
ClassEntry* ClassTableEnd() { return std::end(g_classes); }

HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  ClassEntry* entry = FindClass(clsid);
  if (!entry) return CLASS_E_CLASSNOTAVAILABLE;
  // The slot is only read under the lock: a client thread may be filling it.
  CriticalSectionGuard guard(Module::Instance().ClassTableLock());
  if (!entry->factory) {
    // Adopts the reference the factory starts with (this ComPtr's Attach
    // would add one of its own, and the module would never unload).
    *entry->factory.ReleaseAndGetAddressOf() = new (std::nothrow) ClassFactory(entry->create);
  }
  if (!entry->factory) return E_OUTOFMEMORY;
  return entry->factory->QueryInterface(riid, ppv);
}

void ReleaseClassFactories() {
  for (ClassEntry& entry : g_classes) entry.factory.Reset();
}

}  // namespace zx
