#include "sitelock/site_lock.h"

#include <exdisp.h>
#include <servprov.h>
#include <shlguid.h>
#include <wrl/client.h>

#include <string>
#include <string_view>
#include <vector>

#include "com/com_boundary.h"
#include "common/win_resources.h"
#include "sitelock/trusted_page_rule.h"

namespace zx {
namespace {

using Microsoft::WRL::ComPtr;

// Value names may be this long; longer data cannot be a usable prefix.
constexpr DWORD kMaxValueNameLength = 16383;

// A mapped network drive is a share, whatever its letter.
bool IsLocalDrive(char16_t letter) {
  const wchar_t root[] = {static_cast<wchar_t>(letter), L':', L'\\', L'\0'};
  switch (GetDriveTypeW(root)) {
    case DRIVE_FIXED:
    case DRIVE_REMOVABLE:
    case DRIVE_CDROM:
    case DRIVE_RAMDISK:
      return true;
    default:
      return false;
  }
}

// Every REG_SZ value of the allow-list key; nothing when it is missing.
std::vector<std::u16string> ReadAllowedPrefixes() {
  std::vector<std::u16string> prefixes;
  UniqueRegKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kTrustedPagesKeyPath, 0, KEY_QUERY_VALUE, key.Put()) !=
      ERROR_SUCCESS) {
    return prefixes;
  }
  std::wstring name(kMaxValueNameLength + 1, L'\0');
  std::u16string data(kMaxPageAddressLength + 1, u'\0');
  for (DWORD index = 0;; ++index) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD type = REG_NONE;
    DWORD bytes = static_cast<DWORD>(data.size() * sizeof(char16_t));
    const LONG rc = RegEnumValueW(key.Get(), index, &name[0], &nameLength, nullptr, &type,
                                  reinterpret_cast<BYTE*>(&data[0]), &bytes);
    if (rc == ERROR_MORE_DATA) continue;  // longer than any address
    if (rc != ERROR_SUCCESS) break;
    if (type != REG_SZ) continue;
    // The data may or may not end with its terminator.
    std::u16string_view prefix(data.data(), bytes / sizeof(char16_t));
    while (!prefix.empty() && prefix.back() == u'\0') prefix.remove_suffix(1);
    prefixes.emplace_back(prefix);
  }
  return prefixes;
}

// The browser showing the site's page; null for a site outside a browser.
ComPtr<IWebBrowser2> BrowserOf(IUnknown* site) {
  ComPtr<IServiceProvider> services;
  ComPtr<IWebBrowser2> browser;
  if (FAILED(site->QueryInterface(IID_PPV_ARGS(&services))) ||
      FAILED(services->QueryService(SID_SWebBrowserApp, IID_PPV_ARGS(&browser)))) {
    return nullptr;
  }
  return browser;
}

// A browser that cannot say where its page came from is not trusted.
bool IsTrustedSite(IUnknown* site) {
  const ComPtr<IWebBrowser2> browser = BrowserOf(site);
  if (!browser) return true;
  UniqueBstr address;
  if (FAILED(browser->get_LocationURL(address.Put())) || !address) return false;
  const std::u16string_view text(reinterpret_cast<const char16_t*>(address.Get()),
                                 SysStringLen(address.Get()));
  return IsTrustedPageAddress(text, ReadAllowedPrefixes(), &IsLocalDrive);
}

}  // namespace

void SiteLock::Learn(IUnknown* site) noexcept {
  if (!site) return;
  const HRESULT hr = NoThrow([&] {
    m_allows = IsTrustedSite(site);
    return S_OK;
  });
  if (FAILED(hr)) m_allows = false;
}

}  // namespace zx
