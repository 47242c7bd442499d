#include "pickers/site_owner_window.h"

#include <exdisp.h>
#include <oleidl.h>
#include <servprov.h>
#include <shlguid.h>
#include <shobjidl.h>
#include <wrl/client.h>

namespace zx {

using Microsoft::WRL::ComPtr;

void LearnOwnerWindow(IUnknown* site, HWND& owner) {
  ComPtr<IServiceProvider> services;
  if (!site || FAILED(site->QueryInterface(IID_PPV_ARGS(&services)))) return;
  // Only a site inside a browser is asked for a window.
  ComPtr<IWebBrowser> browser;
  if (FAILED(services->QueryService(SID_SWebBrowserApp, IID_PPV_ARGS(&browser)))) return;
  ComPtr<IOleWindow> shellBrowser;
  if (FAILED(services->QueryService(SID_SShellBrowser, IID_PPV_ARGS(&shellBrowser)))) return;
  if (FAILED(shellBrowser->GetWindow(&owner))) owner = nullptr;
}

}  // namespace zx
