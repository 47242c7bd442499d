// The sample service's command line, parsed in-process.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include "argument_quoting.h"
#include "command_line.h"

namespace zxsample {
namespace {

bool Parse(std::vector<std::wstring> args, ServiceOptions& options) {
  std::wstring error;
  bool ok = ParseCommandLine(args, options, error);
  EXPECT_EQ(ok, error.empty()) << error;
  return ok;
}

bool Accepts(std::vector<std::wstring> args) {
  ServiceOptions options;
  return Parse(std::move(args), options);
}

TEST(SampleServiceCommandLine, DefaultsServeAnEchoOnTheDefaultPipe) {
  ServiceOptions options;
  ASSERT_TRUE(Parse({}, options));
  EXPECT_EQ(options.action, Action::kServe);
  EXPECT_EQ(options.pipeName, L"zxsample");
  EXPECT_EQ(options.spRoot, L"SOFTWARE\\Velmora\\ZevCommon\\SP_ROOT\\");
  EXPECT_TRUE(options.segment.empty());
  EXPECT_EQ(options.reply.body, ReplyBody::kEcho);
  EXPECT_EQ(options.reply.shape, FrameShape::kComplete);
  EXPECT_EQ(options.reply.writes, WritePattern::kOneWrite);
  EXPECT_EQ(options.maxRequests, 0u);
}

TEST(SampleServiceCommandLine, RefusesTwoOptionsOfOneGroup) {
  EXPECT_FALSE(Accepts({L"--partial", L"1", L"--huge"}));
  EXPECT_FALSE(Accepts({L"--short", L"1", L"--partial", L"2"}));
  EXPECT_FALSE(Accepts({L"--drip", L"1", L"1", L"--many-writes"}));
  EXPECT_FALSE(Accepts({L"--reply", L"echo", L"--reply", L"zero-length"}));
  EXPECT_FALSE(Accepts({L"--service", L"a", L"--install", L"b"}));
  EXPECT_FALSE(Accepts({L"--unregister", L"--segment", L"s", L"--uninstall", L"x"}));
}

TEST(SampleServiceCommandLine, RefusesMissingOrMalformedValues) {
  EXPECT_FALSE(Accepts({L"--pipe"}));
  EXPECT_FALSE(Accepts({L"--pipe", L""}));
  EXPECT_FALSE(Accepts({L"--size", L"0"}));
  EXPECT_FALSE(Accepts({L"--size", L"12x"}));
  EXPECT_FALSE(Accepts({L"--max-requests", L"4294967296"}));
  EXPECT_FALSE(Accepts({L"--delay", L"-1"}));
  EXPECT_FALSE(Accepts({L"--drip", L"0", L"5"}));
  EXPECT_FALSE(Accepts({L"--drip", L"4"}));
  EXPECT_FALSE(Accepts({L"--reply", L"mirror"}));
  EXPECT_FALSE(Accepts({L"--reply", L"error-code", L"0x1FFFFFFFF"}));
  EXPECT_FALSE(Accepts({L"--echo"}));
}

TEST(SampleServiceCommandLine, RefusesOptionsThatCannotApply) {
  EXPECT_FALSE(Accepts({L"--reply", L"zero-length", L"--size", L"10"}));
  EXPECT_FALSE(Accepts({L"--reply", L"zero-length", L"--partial", L"1"}));
  EXPECT_FALSE(Accepts({L"--unregister"}));
  EXPECT_FALSE(Accepts({L"--unregister-at-exit"}));
  EXPECT_FALSE(Accepts({L"--start-pending", L"100"}));
  EXPECT_TRUE(Accepts({L"--service", L"s", L"--start-pending", L"forever"}));
  EXPECT_TRUE(Accepts({L"--huge", L"--drip", L"3", L"0", L"--delay", L"5", L"--size", L"9"}));
}

TEST(SampleServiceCommandLine, EndsTheSpRootWithOneBackslash) {
  ServiceOptions options;
  ASSERT_TRUE(Parse({L"--sp-root", L"SOFTWARE\\Test"}, options));
  EXPECT_EQ(options.spRoot, L"SOFTWARE\\Test\\");
  ASSERT_TRUE(Parse({L"--sp-root", L"SOFTWARE\\Test\\"}, options));
  EXPECT_EQ(options.spRoot, L"SOFTWARE\\Test\\");
}

TEST(SampleServiceCommandLine, WritesHexErrorCodesAsSignedDecimalAndKeepsOthers) {
  const std::pair<const wchar_t*, const char*> cases[] = {
      {L"0xE00B0001", "-536150015"}, {L"0XE00C0004", "-536084476"},
      {L"0x7", "7"},                 {L"-536150015", "-536150015"},
      {L"12abc", "12abc"},
  };
  for (const auto& [given, written] : cases) {
    ServiceOptions options;
    ASSERT_TRUE(Parse({L"--reply", L"error-code", given}, options)) << given;
    EXPECT_EQ(options.reply.errorCodeText, written) << given;
  }
}

TEST(SampleServiceCommandLine, InstallForwardsEveryOtherArgument) {
  ServiceOptions options;
  ASSERT_TRUE(Parse({L"--pipe", L"p", L"--install", L"My Service", L"--reply", L"file",
                     L"C:\\a b.txt", L"--start-pending", L"forever"},
                    options));
  EXPECT_EQ(options.action, Action::kInstall);
  EXPECT_EQ(options.serviceName, L"My Service");
  std::vector<std::wstring> expected = {L"--pipe",         L"p",      L"--reply",
                                        L"file",           L"C:\\a b.txt",
                                        L"--start-pending", L"forever"};
  EXPECT_EQ(options.servingArguments, expected);
}

TEST(SampleServiceCommandLine, QuotedArgumentsSplitBackUnchanged) {
  std::vector<std::wstring> args = {L"plain", L"two words", L"", L"a\"b", L"C:\\dir\\",
                                    L"C:\\dir with space\\", L"a\\\\\"b", L"\\\\server\\x y\\",
                                    L"tab\there"};
  std::wstring line = L"prog " + JoinCommandLine(args);
  int count = 0;
  wchar_t** split = CommandLineToArgvW(line.c_str(), &count);
  ASSERT_NE(split, nullptr);
  std::vector<std::wstring> back(split + 1, split + count);
  LocalFree(split);
  EXPECT_EQ(back, args);
}

}  // namespace
}  // namespace zxsample
