#include "sitelock/trusted_page_rule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zx {
namespace {

// C: and D: are this machine's disks, Z: a share mapped to a letter.
bool IsLocalDrive(char16_t letter) { return letter != u'Z' && letter != u'z'; }

const std::vector<std::u16string> kAllowed = {
    u"http://localhost:8080/zev/",
    u"https://suite.example",
    // Not usable: they would let in every host, one host under several
    // spellings, or nothing at all.
    u"http://",
    u"http://%6cocalhost:9000/",
    u"http://user@localhost:9100/",
    u"",
};

std::u16string Repeated(std::u16string_view text, std::size_t times) {
  std::u16string out;
  for (std::size_t i = 0; i < times; ++i) out += text;
  return out;
}

TEST(TrustedPageRule, JudgesEachAddress) {
  const std::u16string longLocal = u"file:///C:/" + Repeated(u"a", kMaxPageAddressLength - 11);
  const struct Case {
    std::u16string address;
    bool trusted;
  } cases[] = {
      // The suite's local pages.
      {u"file:///C:/Program%20Files/Velmora/Zev/status.html", true},
      {u"FILE:///d:\\Suite\\page.html#top", true},
      {u"file:///C:/", true},
      {u"file:///C:/Suite/page.html?view=a/../b", true},
      {longLocal, true},
      {longLocal + u"a", false},
      // Pages on another machine, or on a share behind a drive letter.
      {u"file://server/share/p.html", false},
      {u"file:////server/share/p.html", false},
      {u"file:///\\\\server\\share\\p.html", false},
      {u"file:\\\\server\\share\\p.html", false},
      {u"file://localhost/C:/page.html", false},
      {u"file:///Z:/page.html", false},
      // Odd slashes and dot segments, plain or escaped.
      {u"file:/C:/page.html", false},
      {u"file:C:/page.html", false},
      {u"file:///C:page.html", false},
      {u"file:///C:/Suite//page.html", false},
      {u"file:///C:/Suite/../page.html", false},
      {u"file:///C:/Suite/%2e%2E/page.html", false},
      {u"file:///C:/Suite%2F..%5Cpage.html", false},
      {u"file:///C:/Suite/./page.html", false},
      {u"file:///C:/Suite/%zz.html", false},
      {u"file:///C:/Suite/%2", false},
      {u"file:///C:/Suite/%00.html", false},
      // Text that is not printable ASCII.
      {u"file:///C:/Program Files/page.html", false},
      {u"file:///C:/Suite/\u00e9t\u00e9.html", false},
      {u"file:///C:/Suite/page.html\n", false},
      {u"", false},
      // Pages built into a module on this machine.
      {u"res://shdoclc.dll/dnserror.htm", true},
      {u"RES://C:\\Windows\\System32\\shdoclc.dll/dnserror.htm", true},
      {u"res://\\\\server\\share\\evil.dll/page.htm", false},
      {u"res://%5C%5Cserver%5Cshare%5Cevil.dll/page.htm", false},
      {u"res://", false},
      {u"res:shdoclc.dll/dnserror.htm", false},
      // The allow-list: scheme and host in any case, the path exactly.
      {u"http://localhost:8080/zev/status.html", true},
      {u"HTTP://LocalHost:8080/zev/status.html", true},
      {u"http://localhost:8080/ZEV/status.html", false},
      {u"http://localhost:8080/zev", false},
      {u"http://localhost:8080/zev/../admin.html", false},
      {u"http://localhost:8080/zev/%2e%2e/admin.html", false},
      {u"http://localhost/", false},
      {u"http://localhost:8081/zev/status.html", false},
      {u"https://localhost:8080/zev/status.html", false},
      {u"https://suite.example", true},
      {u"https://suite.example/any/page.html", true},
      {u"https://suite.example.evil.test/page.html", false},
      {u"https://suite.example@evil.test/page.html", false},
      {u"https://%73uite.example/page.html", false},
      {u"http://localhost:9000/page.html", false},
      {u"http://%6cocalhost:9000/page.html", false},
      {u"http://user@localhost:9100/page.html", false},
      // Everything else.
      {u"http://example.com/x.html", false},
      {u"about:blank", false},
      {u"javascript:alert(1)", false},
      {u"://localhost:8080/zev/", false},
      {u"1http://localhost:8080/zev/", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.address.begin(), c.address.end()));
    EXPECT_EQ(IsTrustedPageAddress(c.address, kAllowed, &IsLocalDrive), c.trusted);
  }
}

}  // namespace
}  // namespace zx
