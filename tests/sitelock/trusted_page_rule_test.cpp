#include "sitelock/trusted_page_rule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zx {
namespace {

// C: and D: are this machine's disks, Z: a share mapped to a letter.
bool IsLocalDrive(char16_t letter) { return letter != u'Z' && letter != u'z'; }

// The last three are not usable: they would let in every host, or one host
// under several spellings.
const std::vector<std::u16string> kAllowed = {
    u"http://localhost:8080/zev/", u"https://suite.example", u"http://",
    u"http://%6cocalhost:9000/", u"http://user@localhost:9100/"};

const std::u16string kLongestLocal =
    u"file:///C:/" + std::u16string(kMaxPageAddressLength - 11, u'a');

// One address a rule, or one each side of a boundary.
const std::vector<std::u16string> kTrusted = {
    // Local pages, pages built into a module, the allow-list.
    kLongestLocal,
    u"FILE:///d:\\Suite\\page.html#top",
    u"file:///C:/",
    u"file:///C:/Suite/a%41",
    u"file:///C:/Suite/page.html?view=a/../b",
    u"res://shdoclc.dll/dnserror.htm",
    u"HTTP://LocalHost:8080/zev/status.html",
    u"https://suite.example#top"};

const std::vector<std::u16string> kUntrusted = {
    // Too long, on another machine or a share, odd slashes, dot segments,
    // bad escapes, not printable ASCII.
    kLongestLocal + u"a", u"file://localhost/C:/page.html", u"file:///Z:/page.html",
    u"file:/C:/page.html", u"file:///C:/Suite//page.html", u"file:///C:/Suite/./page.html",
    u"file:///C:/Suite%2F..%5Cpage.html", u"file:///C:/Suite/%2", u"file:///C:/Suite/%00.html",
    u"file:///C:/Program Files/page.html", u"file:///C:/Suite/\u00e9t\u00e9.html",
    // Modules on a share, or named through escaped separators and dots.
    u"res://\\\\server\\share\\evil.dll/page.htm", u"res://C:%5C..%5Cevil.dll/page.htm",
    // Outside the allow-list, or reaching it through another spelling.
    u"http://localhost:8080/ZEV/status.html", u"http://localhost:8080/zev/%2e%2e/admin.html",
    u"http://localhost:8081/zev/status.html", u"https://localhost:8080/zev/status.html",
    u"https://suite.example.evil.test/page.html", u"https://suite.example@evil.test/page.html",
    u"http://example.com/x.html", u"http://%6cocalhost:9000/page.html",
    u"http://user@localhost:9100/page.html", u"1http://localhost:8080/zev/"};

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
