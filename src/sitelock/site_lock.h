#pragma once
// Whether the page that hosts an object may drive it. When the host hands
// the object its site, the site's browser tells the page's address; the
// object keeps only the verdict, neither the site nor the address.
#include <windows.h>
#include <unknwn.h>

namespace zx {

// The administrator's allow-list below HKEY_LOCAL_MACHINE: one REG_SZ value
// per address prefix, under any value name (sitelock/trusted_page_rule.h).
inline constexpr wchar_t kTrustedPagesKeyPath[] = L"SOFTWARE\\Velmora\\ZevCommon\\TrustedPages";

class SiteLock {
 public:
  // Judges the page of a new site afresh. A null site is the host letting go
  // of the object and keeps the verdict: an object taken from an untrusted
  // page does not become trusted by being unsited.
  void Learn(IUnknown* site) noexcept;
  // Whether the object may act for its page. A site outside any browser (a
  // script host, a program) runs with the user's own rights and is trusted,
  // as is an object that never had a site.
  bool Allows() const noexcept { return m_allows; }

 private:
  bool m_allows = true;
};

}  // namespace zx
