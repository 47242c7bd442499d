#include "protocol/request_url.h"

#include <gtest/gtest.h>

#include <string>

namespace zx {
namespace {

// gtest cannot print UTF-16 views; compare as narrow ASCII.
std::string Narrow(std::u16string_view text) { return std::string(text.begin(), text.end()); }

struct Split {
  Result result;
  std::string afterPrefix, path, service;
};

Split SplitOf(std::u16string_view url) {
  RequestUrlParts parts;
  const Result result = SplitRequestUrl(url, parts);
  if (result != result::kOk) return {result, {}, {}, {}};
  return {result, Narrow(parts.afterPrefix), Narrow(parts.path), Narrow(parts.service)};
}

TEST(RequestUrl, KeepsWhatFollowsTheFirstPrefix) {
  const Split split = SplitOf(u"http://localhost:9922/zev-cgi-bin/svc/query?x=1");
  EXPECT_EQ(split.result, result::kOk);
  EXPECT_EQ(split.afterPrefix, "/svc/query?x=1");
  EXPECT_EQ(split.path, "/svc/query");
  EXPECT_EQ(split.service, "svc");

  const Split twice = SplitOf(u"a/zev-cgi-bin/one/zev-cgi-bin/two");
  EXPECT_EQ(twice.afterPrefix, "/one/zev-cgi-bin/two");
  EXPECT_EQ(twice.service, "one");
}

TEST(RequestUrl, PrefixIsRequiredInExactCase) {
  EXPECT_EQ(SplitOf(u"").result, result::kBadRequest);
  EXPECT_EQ(SplitOf(u"http://localhost/cgi-bin/svc").result, result::kBadRequest);
  EXPECT_EQ(SplitOf(u"/ZEV-CGI-BIN/svc").result, result::kBadRequest);
  EXPECT_EQ(SplitOf(u"/zev-cgi-bi/svc").result, result::kBadRequest);
}

TEST(RequestUrl, PathIsCutAtTheFirstQuestionMark) {
  EXPECT_EQ(SplitOf(u"/zev-cgi-bin/svc/q?a=1?b=2").path, "/svc/q");
  EXPECT_EQ(SplitOf(u"/zev-cgi-bin/svc?x=/other/").path, "/svc");
  EXPECT_EQ(SplitOf(u"/zev-cgi-bin/svc?x=/other/").service, "svc");
  EXPECT_EQ(SplitOf(u"/zev-cgi-bin/svc/q?a=1?b=2").afterPrefix, "/svc/q?a=1?b=2");
}

TEST(RequestUrl, ServiceIsTheSegmentFromIndexOne) {
  EXPECT_EQ(SplitOf(u"/zev-cgi-bin/svc").service, "svc");
  EXPECT_EQ(SplitOf(u"/zev-cgi-bin/svc/").service, "svc");
  EXPECT_EQ(SplitOf(u"/zev-cgi-bin/svc/a/b").service, "svc");
  EXPECT_EQ(SplitOf(u"/zev-cgi-bin/s").service, "s");
  // Index 0 is skipped whatever it holds.
  EXPECT_EQ(SplitOf(u"/zev-cgi-binXsvc/q").service, "svc");
}

TEST(RequestUrl, UrlNamingNoServiceIsRefused) {
  for (const std::u16string_view url :
       {u"/zev-cgi-bin", u"/zev-cgi-bin?json=1", u"/zev-cgi-bin/", u"/zev-cgi-bin/?json=1",
        u"/zev-cgi-bin//svc", u"/zev-cgi-binX", u"/zev-cgi-binX?x"}) {
    EXPECT_EQ(SplitOf(url).result, result::kBadRequest) << Narrow(url);
  }
}

}  // namespace
}  // namespace zx
