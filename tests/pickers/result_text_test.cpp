#include "pickers/scan_result.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace zx {
namespace {

using Paths = std::vector<std::u16string>;

TEST(ResultText, DriveRootsGetTheirBackslashDoubled) {
  EXPECT_EQ(BuildResultText({u"C:\\"}), uR"({result:{paths:["C:\\"],count:1}})");
  EXPECT_EQ(BuildResultText({u"C:\\", u"D:\\Data"}),
            uR"({result:{paths:["C:\\","D:\\Data"],count:2}})");
}

TEST(ResultText, EveryBackslashOfDeepFoldersIsDoubled) {
  EXPECT_EQ(BuildResultText({u"C:\\Users\\Public\\Documents\\Scans"}),
            uR"({result:{paths:["C:\\Users\\Public\\Documents\\Scans"],count:1}})");
}

TEST(ResultText, NetworkShareStartsWithSixBackslashes) {
  const std::u16string text = BuildResultText({u"\\\\srv\\share"});
  EXPECT_EQ(text, uR"({result:{paths:["\\\\srv\\share"],count:1}})");
  EXPECT_EQ(std::count(text.begin(), text.end(), u'\\'), 6);
}

TEST(ResultText, NothingElseIsEscapedAndCountIsDecimal) {
  Paths paths(11, u"D:\\x");
  paths.push_back(u"E:\\数据 & {more}");
  const std::u16string text = BuildResultText(paths);
  EXPECT_NE(text.find(uR"("E:\\数据 & {more}"],count:12}})"), std::u16string::npos);
  EXPECT_EQ(text.rfind(uR"("D:\\x",)"), std::u16string(u"{result:{paths:[").size() + 8 * 10);
}

TEST(ResultText, NoPathsGiveNoText) { EXPECT_EQ(BuildResultText({}), u""); }

}  // namespace
}  // namespace zx
