// The sample service's command line, parsed in-process.
#include "command_line.h"

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "argument_quoting.h"

namespace zxsample {
namespace {

using Args = std::vector<std::wstring>;

TEST(SampleServiceCommandLine, AcceptsOnlyOptionsThatGoTogetherWithTheirValues) {
  const std::pair<Args, bool> cases[] = {
      // Two options of one group.
      {{L"--partial", L"1", L"--huge"}, false},
      {{L"--short", L"1", L"--partial", L"2"}, false},
      {{L"--drip", L"1", L"1", L"--many-writes"}, false},
      {{L"--reply", L"echo", L"--reply", L"zero-length"}, false},
      {{L"--service", L"a", L"--install", L"b"}, false},
      {{L"--unregister", L"--segment", L"s", L"--uninstall", L"x"}, false},
      // Missing or malformed values.
      {{L"--pipe"}, false},
      {{L"--pipe", L""}, false},
      {{L"--size", L"0"}, false},
      {{L"--size", L"12x"}, false},
      {{L"--max-requests", L"4294967296"}, false},
      {{L"--delay", L"-1"}, false},
      {{L"--drip", L"0", L"5"}, false},
      {{L"--drip", L"4"}, false},
      {{L"--reply", L"mirror"}, false},
      {{L"--reply", L"error-code", L"0x1FFFFFFFF"}, false},
      {{L"--echo"}, false},
      // Options that cannot apply.
      {{L"--reply", L"zero-length", L"--size", L"10"}, false},
      {{L"--reply", L"zero-length", L"--partial", L"1"}, false},
      {{L"--unregister"}, false},
      {{L"--unregister-at-exit"}, false},
      {{L"--start-pending", L"100"}, false},
      {{L"--service", L"s", L"--start-pending", L"forever"}, true},
      {{L"--huge", L"--drip", L"3", L"0", L"--delay", L"5", L"--size", L"9"}, true},
      {{}, true},
  };
  for (const auto& [args, accepted] : cases) {
    ServiceOptions options;
    std::wstring error;
    EXPECT_EQ(ParseCommandLine(args, options, error), accepted) << ::testing::PrintToString(args);
    EXPECT_EQ(error.empty(), accepted) << ::testing::PrintToString(args);
  }
}

TEST(SampleServiceCommandLine, WritesHexErrorCodesAsSignedDecimalAndKeepsOthers) {
  const std::pair<const wchar_t*, const char*> cases[] = {{L"0xE00B0001", "-536150015"},
                                                          {L"0XE00C0004", "-536084476"},
                                                          {L"0x7", "7"},
                                                          {L"-536150015", "-536150015"},
                                                          {L"12abc", "12abc"}};
  for (const auto& [given, written] : cases) {
    ServiceOptions options;
    std::wstring error;
    ASSERT_TRUE(ParseCommandLine({L"--reply", L"error-code", given}, options, error)) << given;
    EXPECT_EQ(options.reply.errorCodeText, written) << given;
  }
}

// What the installed service is started with must split back unchanged.
TEST(SampleServiceCommandLine, InstallForwardsEveryOtherArgumentQuotedAsNeeded) {
  ServiceOptions options;
  std::wstring error;
  ASSERT_TRUE(ParseCommandLine({L"--pipe", L"p", L"--install", L"My Service", L"--reply", L"file",
                                L"C:\\a b.txt", L"--sp-root", L"SOFTWARE\\Test"},
                               options, error));
  EXPECT_EQ(options.action, Action::kInstall);
  EXPECT_EQ(options.serviceName, L"My Service");
  EXPECT_EQ(options.servingArguments, (Args{L"--pipe", L"p", L"--reply", L"file", L"C:\\a b.txt",
                                            L"--sp-root", L"SOFTWARE\\Test"}));
  EXPECT_EQ(options.spRoot, L"SOFTWARE\\Test\\");  // ended by one backslash, as the lookup needs

  const Args args = {L"plain",    L"two words",         L"",
                     L"a\"b",     L"C:\\dir\\",         L"C:\\dir with space\\",
                     L"a\\\\\"b", L"\\\\server\\x y\\", L"tab\there"};
  int count = 0;
  wchar_t** split = CommandLineToArgvW((L"prog " + JoinCommandLine(args)).c_str(), &count);
  ASSERT_NE(split, nullptr);
  const Args back(split + 1, split + count);
  LocalFree(split);
  EXPECT_EQ(back, args);
}

}  // namespace
}  // namespace zxsample
