// What a request puts on the pipe: the service and path taken from the URL
// given to `open`, and the frame carrying the path and the JSON.
#include <gtest/gtest.h>

#include <string>

#include "protocol/request_frame.h"
#include "protocol/request_url.h"

namespace zx {
namespace {

std::string Bytes(std::initializer_list<unsigned char> bytes) {
  return {bytes.begin(), bytes.end()};
}

TEST(RequestUrl, SplitsAfterTheFirstExactCasePrefix) {
  const struct {
    std::u16string_view url, afterPrefix, path, service;
  } cases[] = {
      {u"http://localhost:9922/zev-cgi-bin/svc/query?x=1", u"/svc/query?x=1", u"/svc/query",
       u"svc"},
      {u"a/zev-cgi-bin/one/zev-cgi-bin/two", u"/one/zev-cgi-bin/two", u"/one/zev-cgi-bin/two",
       u"one"},
      {u"/zev-cgi-bin/svc/q?a=1?b=2", u"/svc/q?a=1?b=2", u"/svc/q", u"svc"},
      {u"/zev-cgi-bin/svc?x=/other/", u"/svc?x=/other/", u"/svc", u"svc"},
      {u"/zev-cgi-bin/svc/", u"/svc/", u"/svc/", u"svc"},
      {u"/zev-cgi-bin/s", u"/s", u"/s", u"s"},
      // Index 0 is skipped whatever it holds.
      {u"/zev-cgi-binXsvc/q", u"Xsvc/q", u"Xsvc/q", u"svc"},
  };
  for (const auto& c : cases) {
    RequestUrlParts parts;
    ASSERT_EQ(SplitRequestUrl(c.url, parts), result::kOk);
    EXPECT_EQ(parts.afterPrefix, c.afterPrefix);
    EXPECT_EQ(parts.path, c.path);
    EXPECT_EQ(parts.service, c.service);
  }
}

TEST(RequestUrl, UrlWithoutThePrefixOrAServiceIsRefused) {
  for (const std::u16string_view url :
       {u"", u"http://localhost/cgi-bin/svc", u"/ZEV-CGI-BIN/svc", u"/zev-cgi-bi/svc",
        u"/zev-cgi-bin", u"/zev-cgi-bin?json=1", u"/zev-cgi-bin/", u"/zev-cgi-bin/?json=1",
        u"/zev-cgi-bin//svc", u"/zev-cgi-binX", u"/zev-cgi-binX?x"}) {
    RequestUrlParts parts;
    EXPECT_EQ(SplitRequestUrl(url, parts), result::kBadRequest)
        << std::string(url.begin(), url.end());
  }
}

TEST(RequestFrame, IsTheLittleEndianPayloadLengthThenPathSeparatorAndJson) {
  const struct {
    std::string_view path;
    std::string json, frame;
  } cases[] = {
      {"/svc/query", "{\"a\":1}", Bytes({0x17, 0, 0, 0}) + "/svc/query?json={\"a\":1}"},
      {"/svc", "", Bytes({10, 0, 0, 0}) + "/svc?json="},
      {"/s", std::string("a\0b", 3), Bytes({11, 0, 0, 0}) + "/s?json=" + std::string("a\0b", 3)},
      {"/p", std::string(292, 'j'), Bytes({0x2C, 0x01, 0, 0}) + "/p?json=" + std::string(292, 'j')},
  };
  for (const auto& c : cases) {
    std::string frame = "previous frame content";
    ASSERT_TRUE(BuildRequestFrame(c.path, c.json, frame));
    EXPECT_EQ(frame, c.frame);
  }
}

// The size alone is refused: the JSON is never read.
TEST(RequestFrame, PayloadBeyondTheLengthFieldIsRefusedAndLeavesNoFrame) {
  std::string frame = "previous frame content";
  const char json = '{';
  EXPECT_FALSE(BuildRequestFrame("/p", std::string_view(&json, std::size_t{1} << 32), frame));
  EXPECT_EQ(frame, "");
}

TEST(RequestFrame, LengthFieldRoundTripsAllBytes) {
  char bytes[4];
  StoreFrameLength(0x01020304u, bytes);
  EXPECT_EQ(std::string(bytes, 4), Bytes({4, 3, 2, 1}));
  for (const std::uint32_t length : {0u, 1u, 0x80u, 0xFF00u, 0x8000FF80u, 0xFFFFFFFFu}) {
    StoreFrameLength(length, bytes);
    EXPECT_EQ(LoadFrameLength(bytes), length);
  }
  EXPECT_EQ(LoadFrameLength(Bytes({0x80, 0xFF, 0x00, 0x80}).data()), 0x8000FF80u);
}

}  // namespace
}  // namespace zx
