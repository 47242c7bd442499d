#include "pickers/check_state_paths.h"

#include <gtest/gtest.h>

namespace zx {
namespace {

TEST(CheckEligibility, PathsOnDrivesHaveBoxes) {
  EXPECT_TRUE(IsCheckEligible(u"C:\\"));
  EXPECT_TRUE(IsCheckEligible(u"z:\\"));
  EXPECT_TRUE(IsCheckEligible(u"D:\\Data\\Deep\\Folder"));
  EXPECT_TRUE(IsCheckEligible(u"\\\\?\\E:\\Long"));
  EXPECT_FALSE(IsCheckEligible(u"1:\\"));
  EXPECT_FALSE(IsCheckEligible(u"C"));
  EXPECT_EQ(DriveNumberOf(u"a:\\"), 0);
  EXPECT_EQ(DriveNumberOf(u"Z:"), 25);
  EXPECT_EQ(DriveNumberOf(u"\\\\?\\c:\\"), 2);
  EXPECT_EQ(DriveNumberOf(u"\\\\srv\\share"), -1);
}

TEST(CheckEligibility, NetworkSharesHaveBoxesServerRootsNever) {
  EXPECT_TRUE(IsCheckEligible(u"\\\\srv\\share"));
  EXPECT_TRUE(IsCheckEligible(u"\\\\srv\\share\\dir"));
  EXPECT_FALSE(IsCheckEligible(u"\\\\srv"));
  EXPECT_FALSE(IsCheckEligible(u"\\\\"));
  EXPECT_TRUE(IsServerRoot(u"\\\\server-01"));
  EXPECT_FALSE(IsServerRoot(u"\\\\srv\\share"));
  EXPECT_FALSE(IsServerRoot(u"C:\\"));
}

TEST(CheckEligibility, ComputerFolderInEitherCaseHasBoxOtherClassPathsNone) {
  EXPECT_TRUE(IsCheckEligible(kComputerFolderPath));
  EXPECT_TRUE(IsCheckEligible(u"::{20d04fe0-3aea-1069-a2d8-08002b30309d}"));
  EXPECT_FALSE(IsCheckEligible(u"::{20D04FE0-3AEA-1069-A2D8-08002B30309E}"));
  EXPECT_FALSE(IsCheckEligible(
      u"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\::{21EC2020-3AEA-1069-A2DD-08002B30309D}"));
  EXPECT_FALSE(IsCheckEligible(u""));
  EXPECT_FALSE(IsCheckEligible(u"relative\\folder"));
}

TEST(CheckEligibility, OnlyDrivesAndNetworkPathsNameLocations) {
  EXPECT_TRUE(NamesLocation(u"C:\\"));
  EXPECT_TRUE(NamesLocation(u"\\\\srv\\share"));
  EXPECT_FALSE(NamesLocation(kComputerFolderPath));
  EXPECT_FALSE(NamesLocation(u"::{00000000-0000-0000-0000-00000000ABCD}"));
}

TEST(StoredPath, OneLeadingComputerChildMarkerIsDropped) {
  EXPECT_EQ(PathOfStoredPath(u"@C:\\Users\\Public"), u"C:\\Users\\Public");
  EXPECT_EQ(PathOfStoredPath(u"@@x"), u"@x");
  EXPECT_EQ(PathOfStoredPath(u"C:\\@"), u"C:\\@");
  EXPECT_EQ(PathOfStoredPath(u""), u"");
  // The marker itself hides the drive, so every reader must drop it first.
  EXPECT_FALSE(IsCheckEligible(u"@C:\\Users"));
}

}  // namespace
}  // namespace zx
