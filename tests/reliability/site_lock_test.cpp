// Pages driving the three objects through IDispatch from sites of every
// kind: only the suite's own pages, listed prefixes and hosts that are no
// browser make them act (which addresses count as which is the
// trusted-page rule's own test). For any other page every acting method is
// refused with E_ACCESSDENIED before it does anything, while reading
// properties and setting handlers keep working.
#include "sitelock/site_lock.h"

#include <optional>
#include <vector>

#include "harness/dialog_closer.h"
#include "support/fake_site.h"
#include "support/page_test.h"

using Microsoft::WRL::ComPtr;
using namespace zx::test;
using namespace zx::test::variant;

namespace {

constexpr wchar_t kListedPrefix[] = L"http://localhost:8080/zev/";

// What the host hands the object in one SetSite; nullopt is a null site.
using Site = std::optional<FakeSite::Offer>;

Site PageAt(const wchar_t* location, bool browser = true) {
  FakeSite::Offer offer;
  offer.location = location;
  offer.browser = browser;
  return offer;
}

using SiteLockTest = PageTest;

// Late binding reports every success as S_OK, a cancelled dialog included.
// A trusted repair would start the repair tool and wait for services.
TEST_F(SiteLockTest, OnlyTrustedPagesMakeTheObjectsAct) {
  struct ListedPrefix {
    ~ListedPrefix() { RegDeleteKeyW(HKEY_LOCAL_MACHINE, zx::kTrustedPagesKeyPath); }
  } removedAtTheEnd;
  ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, zx::kTrustedPagesKeyPath, L"suite pages", REG_SZ,
                            kListedPrefix, sizeof kListedPrefix),
            ERROR_SUCCESS);
  const Site local = PageAt(kLocalSuitePage), web = PageAt(L"http://example.com/x.html");
  const struct {
    const char* page;
    std::vector<Site> sites;
    bool trusted;
  } rows[] = {
      {"local page in Program Files", {local}, true},
      {"web page", {web}, false},
      {"listed prefix", {PageAt(L"http://LOCALHOST:8080/zev/status.html")}, true},
      {"no site", {}, true},
      {"site outside a browser", {PageAt(nullptr, false)}, true},
      {"browser without an address", {PageAt(nullptr)}, false},
      {"web page, then a local page", {web, local}, true},
      {"local page, then a web page, then no site", {local, web, std::nullopt}, false},
  };
  DialogCloser closer;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.page);
    Renew();
    ComPtr<IDispatch> folder, scan;
    ASSERT_EQ(module.Create(CLSID_ZevFileDialog, IID_IDispatch, &folder), S_OK);
    ASSERT_EQ(module.Create(CLSID_ZevMultiFileDialog, IID_IDispatch, &scan), S_OK);
    for (IDispatch* object : {page.Get(), folder.Get(), scan.Get()}) {
      for (const Site& site : row.sites) EXPECT_EQ(GiveSite(object, site ? &*site : nullptr), S_OK);
    }
    const HRESULT acted = row.trusted ? S_OK : E_ACCESSDENIED;
    EXPECT_EQ(Put(L"onreadystatechange", Object(&complete)).code, S_OK);
    EXPECT_EQ(Call(L"open", {Text(L"POST"), Text(service.Url()), Flag(false)}).code, acted);
    EXPECT_EQ(Call(L"send", {Text(L"json=%7B%7D")}).code, acted);
    const InvokeResult state = Get(L"readyState");
    EXPECT_EQ(state.code, S_OK);
    EXPECT_EQ(V_I4(&state.value.Get()), row.trusted ? 4 : 0);
    EXPECT_EQ(Get(L"isNeedFixConnection").code, acted);
    if (!row.trusted) EXPECT_EQ(Get(L"fixConnection").code, E_ACCESSDENIED);
    const auto pick = [](IDispatch* picker, const wchar_t* method, const Arguments& arguments) {
      return InvokeByName(picker, method, DISPATCH_METHOD, arguments).code;
    };
    EXPECT_EQ(pick(folder.Get(), L"GetOpenFileName", {Text(L"Pick")}), acted);
    EXPECT_EQ(pick(scan.Get(), L"GetOpenFileNameEx", {Flag(false), Text(L"c"), Text(L"s"), Int(0)}),
              acted);
    EXPECT_EQ(
        pick(scan.Get(), L"GetOpenFileNameEx2",
             {Flag(false), Text(L"c"), Text(L"s"), Int(0), Int(10), Int(10), Flag(false), Empty()}),
        acted);
  }
}

}  // namespace
