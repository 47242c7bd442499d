#include "protocol/request_frame.h"

#include <gtest/gtest.h>

#include <string>

namespace zx {
namespace {

std::string Bytes(std::initializer_list<unsigned char> bytes) {
  return std::string(bytes.begin(), bytes.end());
}

TEST(RequestFrame, IsLengthThenPathSeparatorAndJson) {
  std::string frame;
  ASSERT_TRUE(BuildRequestFrame("/svc/query", "{\"a\":1}", frame));
  EXPECT_EQ(frame, Bytes({0x17, 0, 0, 0}) + "/svc/query?json={\"a\":1}");
}

TEST(RequestFrame, LengthCountsThePayloadOnlyLittleEndian) {
  std::string frame;
  ASSERT_TRUE(BuildRequestFrame("/p", std::string(292, 'j'), frame));
  ASSERT_EQ(frame.size(), 304u);
  EXPECT_EQ(frame.substr(0, 4), Bytes({0x2C, 0x01, 0, 0}));

  ASSERT_TRUE(BuildRequestFrame("/svc", "", frame));
  EXPECT_EQ(frame, Bytes({10, 0, 0, 0}) + "/svc?json=");
}

TEST(RequestFrame, KeepsEveryJsonByteAndReplacesOldContent) {
  std::string frame = "previous frame content";
  ASSERT_TRUE(BuildRequestFrame("/s", std::string("a\0b", 3), frame));
  EXPECT_EQ(frame, Bytes({11, 0, 0, 0}) + "/s?json=" + std::string("a\0b", 3));
}

TEST(RequestFrame, LengthFieldRoundTripsAllBytes) {
  char bytes[4];
  StoreFrameLength(0x01020304u, bytes);
  EXPECT_EQ(std::string(bytes, 4), Bytes({4, 3, 2, 1}));
  for (const std::uint32_t length : {0u, 1u, 0x80u, 0xFF00u, 0x8000FF80u, 0xFFFFFFFFu}) {
    StoreFrameLength(length, bytes);
    EXPECT_EQ(LoadFrameLength(bytes), length);
  }
  const std::string high = Bytes({0x80, 0xFF, 0x00, 0x80});
  EXPECT_EQ(LoadFrameLength(high.data()), 0x8000FF80u);
}

}  // namespace
}  // namespace zx
