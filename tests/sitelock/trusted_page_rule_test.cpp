#include "sitelock/trusted_page_rule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zx {
namespace {

// C: and D: are this machine's disks, Z: a share mapped to a letter.
bool IsLocalDrive(char16_t letter) { return letter != u'Z' && letter != u'z'; }

const std::vector<std::u16string> kAllowed = {
    u"http://localhost:8080/zev/", u"https://suite.example",
    // Not usable: they would let in every host, one host under several
    // spellings, or nothing at all.
    u"http://", u"http://%6cocalhost:9000/", u"http://user@localhost:9100/", u""};

const std::u16string kLongestLocal =
    u"file:///C:/" + std::u16string(kMaxPageAddressLength - 11, u'a');

const std::vector<std::u16string> kTrusted = {
    // The suite's local pages.
    u"file:///C:/Program%20Files/Velmora/Zev/status.html", u"FILE:///d:\\Suite\\page.html#top",
    u"file:///C:/", u"file:///C:/Suite/page.html?view=a/../b", u"file:///C:/Suite/a%41",
    kLongestLocal,
    // Pages built into a module on this machine.
    u"res://shdoclc.dll/dnserror.htm", u"RES://C:\\Windows\\System32\\shdoclc.dll/dnserror.htm",
    // The allow-list: scheme and host in any case, the path exactly.
    u"http://localhost:8080/zev/status.html", u"HTTP://LocalHost:8080/zev/status.html",
    u"https://suite.example", u"https://suite.example/any/page.html", u"https://suite.example#top"};

const std::vector<std::u16string> kUntrusted = {
    kLongestLocal + u"a", u"",
    // Pages on another machine, or on a share behind a drive letter.
    u"file://server/share/p.html", u"file:////server/share/p.html",
    u"file:///\\\\server\\share\\p.html", u"file:\\\\server\\share\\p.html",
    u"file://localhost/C:/page.html", u"file:///Z:/page.html",
    // Odd slashes and dot segments, plain or escaped.
    u"file:/C:/page.html", u"file:C:/page.html", u"file:///C:page.html",
    u"file:///C:/Suite//page.html", u"file:///C:/Suite/../page.html",
    u"file:///C:/Suite/%2e%2E/page.html", u"file:///C:/Suite%2F..%5Cpage.html",
    u"file:///C:/Suite/./page.html", u"file:///C:/Suite/%zz.html", u"file:///C:/Suite/%2",
    u"file:///C:/Suite/%00.html",
    // Text that is not printable ASCII.
    u"file:///C:/Program Files/page.html", u"file:///C:/Suite/\u00e9t\u00e9.html",
    u"file:///C:/Suite/page.html\n",
    // Modules on a share, or named through escaped separators and dots.
    u"res://\\\\server\\share\\evil.dll/page.htm", u"res://%5C%5Cserver%5Cshare%5Cevil.dll/p.htm",
    u"res://C:%5C..%5Cevil.dll/page.htm", u"res://shdoclc.dll%2F%2E/page.htm", u"res://",
    u"res:shdoclc.dll/dnserror.htm",
    // Outside the allow-list, or reaching it through another spelling.
    u"http://localhost:8080/ZEV/status.html", u"http://localhost:8080/zev",
    u"http://localhost:8080/zev/../admin.html", u"http://localhost:8080/zev/%2e%2e/admin.html",
    u"http://localhost/", u"http://localhost:8081/zev/status.html",
    u"https://localhost:8080/zev/status.html", u"https://suite.example.evil.test/page.html",
    u"https://suite.example@evil.test/page.html", u"https://%73uite.example/page.html",
    u"http://localhost:9000/page.html", u"http://%6cocalhost:9000/page.html",
    u"http://user@localhost:9100/page.html",
    // Everything else.
    u"http://example.com/x.html", u"about:blank", u"javascript:alert(1)", u"://localhost:8080/zev/",
    u"1http://localhost:8080/zev/"};

TEST(TrustedPageRule, JudgesEachAddress) {
  for (bool trusted : {true, false}) {
    for (const std::u16string& address : trusted ? kTrusted : kUntrusted) {
      SCOPED_TRACE(std::string(address.begin(), address.end()));
      EXPECT_EQ(IsTrustedPageAddress(address, kAllowed, &IsLocalDrive), trusted);
    }
  }
}

}  // namespace
}  // namespace zx
