#include "server/self_registration.h"

#include <comcat.h>
#include <rpc.h>
#include <wrl/client.h>

#include <string>

#include "com/com_boundary.h"
#include "com/module.h"
#include "common/module_path.h"
#include "common/win_resources.h"
#include "registrar/registrar_resource.h"
#include "registrar/registrar_variables.h"
#include "res/zxmlhttp_idl.h"
#include "server/class_table.h"

using Microsoft::WRL::ComPtr;

namespace zx {
namespace {

// What DllRegisterServer reports when the component categories fail.
constexpr HRESULT kCategoryRegistrationFailed = static_cast<HRESULT>(0x80040201L);
constexpr LCID kCategoryLocale = 0x409;
constexpr wchar_t kPreApprovedKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Ext\\PreApproved\\";

constexpr CATID kSafeForScripting = {
    0x7DD95801, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}};
constexpr CATID kSafeForInitializing = {
    0x7DD95802, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}};

struct Category {
  const CATID& id;
  const wchar_t* description;
};

const Category kCategories[] = {
    {kSafeForScripting, L"Controls that are safely scriptable"},
    {kSafeForInitializing, L"Controls safely initializable from persistent data"},
};

std::u16string AsUtf16(const std::wstring& text) { return {text.begin(), text.end()}; }

std::wstring BracedGuid(const GUID& guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

std::wstring ModulePath() {
  std::wstring path;
  GetModuleFileNameString(Module::Instance().Handle(), path);
  return path;
}

// Whether the module's build of the other bitness is registered for the
// class: its class key shows in the other registry view.
OtherView OtherViewOf(const CLSID& clsid) {
  REGSAM otherView = KEY_WOW64_32KEY;
#ifndef _WIN64
  BOOL underWow64 = FALSE;
  if (!IsWow64Process(GetCurrentProcess(), &underWow64) || !underWow64) {
    return OtherView::kUnregistered;
  }
  otherView = KEY_WOW64_64KEY;
#endif
  const std::wstring server = L"CLSID\\" + BracedGuid(clsid) + L"\\InprocServer32";
  UniqueRegKey key;
  const LONG opened =
      RegOpenKeyExW(HKEY_CLASSES_ROOT, server.c_str(), 0, KEY_READ | otherView, key.Put());
  return opened == ERROR_SUCCESS ? OtherView::kRegistered : OtherView::kUnregistered;
}

HRESULT RunClassScript(const ClassEntry& entry, const std::wstring& modulePath,
                       RegistrationMode mode) {
  std::u16string objectName = AsUtf16(entry.objectName);
  std::u16string clsid = AsUtf16(BracedGuid(entry.clsid));
  std::u16string libid = AsUtf16(BracedGuid(LIBID_zxmlhttpLib));
  std::u16string path = AsUtf16(modulePath);
  ScriptVariables variables = MakeClassScriptVariables({objectName, clsid, libid, path});
  return RunRegistryResource(Module::Instance().Handle(), entry.scriptResourceId, variables, mode,
                             OtherViewOf(entry.clsid));
}

// The library embedded in the module, or else the .tlb file beside it.
HRESULT LoadOwnTypeLib(const std::wstring& modulePath, ITypeLib** lib, std::wstring& loadedFrom) {
  loadedFrom = modulePath;
  HRESULT hr = LoadTypeLibEx(loadedFrom.c_str(), REGKIND_NONE, lib);
  if (SUCCEEDED(hr)) return hr;
  size_t dot = loadedFrom.find_last_of(L'.');
  size_t slash = loadedFrom.find_last_of(L"\\/");
  if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash))
    loadedFrom.resize(dot);
  loadedFrom += L".tlb";
  return LoadTypeLibEx(loadedFrom.c_str(), REGKIND_NONE, lib);
}

HRESULT RegisterOwnTypeLib(const std::wstring& modulePath) {
  ComPtr<ITypeLib> lib;
  std::wstring path;
  HRESULT hr = LoadOwnTypeLib(modulePath, &lib, path);
  if (FAILED(hr)) return hr;
  // The library names no help file: an empty help directory.
  wchar_t noHelpDir[] = L"";
  return RegisterTypeLib(lib.Get(), &path[0], noHelpDir);
}

HRESULT UnregisterOwnTypeLib(const std::wstring& modulePath) {
  ComPtr<ITypeLib> lib;
  std::wstring path;
  HRESULT hr = LoadOwnTypeLib(modulePath, &lib, path);
  if (FAILED(hr)) return hr;
  TLIBATTR* attr = nullptr;
  hr = lib->GetLibAttr(&attr);
  if (FAILED(hr)) return hr;
  TLIBATTR identity = *attr;
  lib->ReleaseTLibAttr(attr);
  return UnRegisterTypeLib(identity.guid, identity.wMajorVerNum, identity.wMinorVerNum,
                           identity.lcid, identity.syskind);
}

HRESULT CreateCategoryRegister(ComPtr<ICatRegister>& registrar) {
  return CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                          IID_ICatRegister,
                          reinterpret_cast<void**>(registrar.ReleaseAndGetAddressOf()));
}

HRESULT RegisterCategories() {
  ComPtr<ICatRegister> registrar;
  HRESULT hr = CreateCategoryRegister(registrar);
  if (FAILED(hr)) return hr;
  CATEGORYINFO infos[2] = {};
  for (int i = 0; i < 2; ++i) {
    infos[i].catid = kCategories[i].id;
    infos[i].lcid = kCategoryLocale;
    lstrcpynW(infos[i].szDescription, kCategories[i].description, 128);
  }
  return registrar->RegisterCategories(2, infos);
}

HRESULT MarkClassesImplementingCategories() {
  for (const Category& category : kCategories) {
    for (ClassEntry* entry = ClassTableBegin(); entry != ClassTableEnd(); ++entry) {
      ComPtr<ICatRegister> registrar;
      HRESULT hr = CreateCategoryRegister(registrar);
      if (SUCCEEDED(hr)) {
        CATID id = category.id;
        hr = registrar->RegisterClassImplCategories(entry->clsid, 1, &id);
      }
      if (FAILED(hr)) return hr;
    }
  }
  return S_OK;
}

// The browser's list of controls it runs without asking; failures ignored.
void AddPreApprovedEntries() {
  for (ClassEntry* entry = ClassTableBegin(); entry != ClassTableEnd(); ++entry) {
    UUID clsid = entry->clsid;
    RPC_WSTR text = nullptr;
    if (UuidToStringW(&clsid, &text) != RPC_S_OK) continue;
    std::wstring path =
        std::wstring(kPreApprovedKey) + L"{" + reinterpret_cast<wchar_t*>(text) + L"}";
    RpcStringFreeW(&text);
    UniqueRegKey key;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, 0, nullptr, key.Put(),
                    nullptr);
  }
}

HRESULT RegisterScriptsAndTypeLib(const std::wstring& modulePath) {
  for (ClassEntry* entry = ClassTableBegin(); entry != ClassTableEnd(); ++entry) {
    HRESULT hr = RunClassScript(*entry, modulePath, RegistrationMode::kRegister);
    if (FAILED(hr)) return hr;
  }
  return RegisterOwnTypeLib(modulePath);
}

HRESULT Register() {
  std::wstring modulePath = ModulePath();
  HRESULT result = RegisterScriptsAndTypeLib(modulePath);
  // The categories and the pre-approval run even when the scripts failed.
  if (FAILED(RegisterCategories()) || FAILED(MarkClassesImplementingCategories())) {
    return kCategoryRegistrationFailed;
  }
  AddPreApprovedEntries();
  return result;
}

HRESULT Unregister() {
  std::wstring modulePath = ModulePath();
  for (ClassEntry* entry = ClassTableBegin(); entry != ClassTableEnd(); ++entry) {
    HRESULT hr = RunClassScript(*entry, modulePath, RegistrationMode::kUnregister);
    if (FAILED(hr)) return hr;
  }
  return UnregisterOwnTypeLib(modulePath);
}

}  // namespace

HRESULT RegisterServer() { return NoThrow(Register); }

HRESULT UnregisterServer() { return NoThrow(Unregister); }

}  // namespace zx
