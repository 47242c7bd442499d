// Pages driving the three objects through IDispatch from sites of every
// kind: only the suite's own pages, listed prefixes and hosts that are no
// browser make them act. For any other page every acting method is refused
// with E_ACCESSDENIED before it does anything, while reading properties and
// setting handlers keep working.
#include <windows.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "reliability/dialog_closer.h"
#include "reliability/scripted_request.h"
#include "sitelock/site_lock.h"
#include "support/fake_site.h"

using Microsoft::WRL::ComPtr;
using namespace zx::test;
namespace dispid = zx::test::request_dispid;

namespace {

using namespace zx::test::picker_dispid;

constexpr wchar_t kListedPrefix[] = L"http://localhost:8080/zev/";

// What the host hands the object in one SetSite; nullopt is a null site.
using Site = std::optional<FakeSite::Offer>;

Site PageAt(const wchar_t* location) {
  FakeSite::Offer offer;
  offer.location = location;
  return offer;
}

Site OutsideABrowser() {
  FakeSite::Offer offer;
  offer.browser = false;
  return offer;
}

// Late binding reports every success as S_OK, a cancelled dialog included.
HRESULT ActedOrDenied(bool trusted) { return trusted ? S_OK : E_ACCESSDENIED; }

void GiveSites(IDispatch* object, const std::vector<Site>& sites) {
  ComPtr<IObjectWithSite> withSite;
  ASSERT_EQ(object->QueryInterface(IID_PPV_ARGS(&withSite)), S_OK);
  for (const Site& site : sites) {
    ComPtr<FakeSite> fake;
    if (site) fake.Attach(new FakeSite(*site));
    EXPECT_EQ(withSite->SetSite(static_cast<IServiceProvider*>(fake.Get())), S_OK);
  }
}

class SiteLockTest : public ScriptedRequestTest {
 protected:
  void SetUp() override {
    ScriptedRequestTest::SetUp();
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, zx::kTrustedPagesKeyPath, L"suite pages", REG_SZ,
                              kListedPrefix, sizeof kListedPrefix),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, zx::kTrustedPagesKeyPath);
    ScriptedRequestTest::TearDown();
  }

  // A script's calls on the request object: a blocking exchange with the
  // echo service, the health check, and (where refused) the repair.
  void ExpectRequestActs(bool trusted) {
    const HRESULT acted = ActedOrDenied(trusted);
    EXPECT_EQ(PutProperty(page.Get(), dispid::kOnReadyStateChange, Object(&complete)).code, S_OK);
    EXPECT_EQ(Open(Text(L"POST"), Text(Url()), Flag(false)).code, acted);
    EXPECT_EQ(Send(Text(L"json=%7B%7D")).code, acted);
    const InvokeResult state = GetProperty(page.Get(), dispid::kReadyState);
    EXPECT_EQ(state.code, S_OK);
    EXPECT_EQ(V_I4(&state.value.Get()), trusted ? 4 : 0);
    EXPECT_EQ(GetProperty(page.Get(), dispid::kIsNeedFixConnection).code, acted);
    // A trusted repair would start the repair tool and wait for services.
    if (!trusted) {
      EXPECT_EQ(GetProperty(page.Get(), dispid::kFixConnection).code, E_ACCESSDENIED);
    }
  }

  // Trusted, each picker shows its dialog, which the closer cancels.
  void ExpectPickersAct(IDispatch* folder, IDispatch* scan, bool trusted) {
    const HRESULT acted = ActedOrDenied(trusted);
    EXPECT_EQ(CallMethod(folder, kGetOpenFileName, Arguments{Text(L"Pick")}).code, acted);
    EXPECT_EQ(CallMethod(scan, kGetOpenFileNameEx,
                         Arguments{Flag(false), Text(L"caption"), Text(L"subtitle"), Int(0)})
                  .code,
              acted);
    EXPECT_EQ(CallMethod(scan, kGetOpenFileNameEx2,
                         Arguments{Flag(false), Text(L"caption"), Text(L"subtitle"), Int(0),
                                   Int(10), Int(10), Flag(false), Empty()})
                  .code,
              acted);
  }

  DialogCloser closer;
};

TEST_F(SiteLockTest, OnlyTrustedPagesMakeTheObjectsAct) {
  const Site localPage = PageAt(kLocalSuitePage);
  const Site webPage = PageAt(L"http://example.com/x.html");
  const struct Row {
    const char* page;
    std::vector<Site> sites;
    bool trusted;
  } rows[] = {
      {"local page in Program Files", {localPage}, true},
      {"web page", {webPage}, false},
      {"loopback server, not listed", {PageAt(L"http://localhost/")}, false},
      {"page on a share", {PageAt(L"file://server/share/p.html")}, false},
      {"listed prefix", {PageAt(L"http://LOCALHOST:8080/zev/status.html")}, true},
      {"no site", {}, true},
      {"site outside a browser", {OutsideABrowser()}, true},
      {"browser without an address", {PageAt(nullptr)}, false},
      {"web page, then the site withdrawn", {webPage, std::nullopt}, false},
      {"web page, then a local page", {webPage, localPage}, true},
      {"local page, then a web page", {localPage, webPage}, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.page);
    Renew();
    ComPtr<IDispatch> folder, scan;
    ASSERT_EQ(module.Create(CLSID_ZevFileDialog, IID_IDispatch, &folder), S_OK);
    ASSERT_EQ(module.Create(CLSID_ZevMultiFileDialog, IID_IDispatch, &scan), S_OK);
    for (IDispatch* object : {page.Get(), folder.Get(), scan.Get()}) GiveSites(object, row.sites);
    ExpectRequestActs(row.trusted);
    ExpectPickersAct(folder.Get(), scan.Get(), row.trusted);
  }
}

}  // namespace
