#include "pickers/shell_item_rules.h"

#include <gtest/gtest.h>

namespace zx {
namespace {

ShellChildTraits Traits(bool fileSystem, bool folder, bool hasSubfolder, bool kept = false) {
  return {fileSystem, folder, hasSubfolder, kept};
}

TEST(ShellListing, VirtualItemsStayOnlyWhenTheyAreKeptSystemFolders) {
  for (const bool showFiles : {false, true}) {
    EXPECT_FALSE(ListingOf(Traits(false, true, true), showFiles).listed) << showFiles;
    EXPECT_TRUE(ListingOf(Traits(false, true, true, true), showFiles).listed) << showFiles;
    // A kept system item that is no folder is still no location to browse.
    EXPECT_FALSE(ListingOf(Traits(false, false, false, true), showFiles).listed) << showFiles;
  }
}

TEST(ShellListing, DefaultViewListsFoldersExpandableWhenTheyHoldFolders) {
  EXPECT_FALSE(ListingOf(Traits(true, false, false), false).listed);
  const ChildListing withSubfolders = ListingOf(Traits(true, true, true), false);
  EXPECT_TRUE(withSubfolders.listed);
  EXPECT_TRUE(withSubfolders.expandButton);
  const ChildListing leaf = ListingOf(Traits(true, true, false), false);
  EXPECT_TRUE(leaf.listed);
  EXPECT_FALSE(leaf.expandButton);
}

TEST(ShellListing, ShownFilesAreListedWithoutButtonsAndEveryFolderExpands) {
  const ChildListing file = ListingOf(Traits(true, false, false), true);
  EXPECT_TRUE(file.listed);
  EXPECT_FALSE(file.expandButton);
  const ChildListing folder = ListingOf(Traits(true, true, false), true);
  EXPECT_TRUE(folder.listed);
  EXPECT_TRUE(folder.expandButton);
}

TEST(ShellListing, ControlPanelIsNeverListedInEitherFormOrCase) {
  for (const bool showFiles : {false, true}) {
    EXPECT_FALSE(IsNameListed(u"::{26EE0668-A00A-44D7-9371-BEB064C98683}", showFiles));
    EXPECT_FALSE(IsNameListed(u"::{26ee0668-a00a-44d7-9371-beb064c98683}", showFiles));
    EXPECT_FALSE(IsNameListed(
        u"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\::{21EC2020-3AEA-1069-A2DD-08002B30309D}",
        showFiles));
    EXPECT_FALSE(IsNameListed(
        u"::{20d04fe0-3aea-1069-a2d8-08002b30309d}\\::{21ec2020-3aea-1069-a2dd-08002b30309d}",
        showFiles));
    EXPECT_TRUE(IsNameListed(u"::{20d04fe0-3aea-1069-a2d8-08002b30309d}", showFiles));
    EXPECT_TRUE(IsNameListed(u"::{21EC2020-3AEA-1069-A2DD-08002B30309D}", showFiles));
  }
}

TEST(ShellListing, DefaultViewHidesOnlyAnExactLowerCaseZipExtension) {
  EXPECT_FALSE(IsNameListed(u"C:\\Data\\archive.zip", false));
  EXPECT_TRUE(IsNameListed(u"C:\\Data\\archive.zip", true));
  EXPECT_TRUE(IsNameListed(u"C:\\Data\\ARCHIVE.ZIP", false));
  EXPECT_TRUE(IsNameListed(u"C:\\Data\\archive.Zip", false));
  EXPECT_TRUE(IsNameListed(u"C:\\Data\\archive.zipx", false));
  EXPECT_TRUE(IsNameListed(u"C:\\data.zip\\inner", false));
  EXPECT_TRUE(IsNameListed(u"C:\\Data\\old.zip backup", false));
}

TEST(ShellListing, ExtensionIsFoundAsThePathUtilitiesFindIt) {
  EXPECT_EQ(ExtensionOf(u"C:\\a\\b.tar.gz"), u".gz");
  EXPECT_EQ(ExtensionOf(u"C:\\a.dir\\file"), u"");
  EXPECT_EQ(ExtensionOf(u"C:\\a\\file. txt"), u"");
  EXPECT_EQ(ExtensionOf(u"C:\\a\\.hidden"), u".hidden");
  EXPECT_EQ(ExtensionOf(u"C:\\a\\trailing."), u".");
  EXPECT_EQ(ExtensionOf(u""), u"");
}

TEST(ShellStoredPath, BelowTheComputerOnlyDriveRootsGoWithoutMarker) {
  EXPECT_EQ(StoredPathFor(u"C:\\", true), u"C:\\");
  EXPECT_EQ(StoredPathFor(u"C:\\Users\\Public\\Documents", true), u"@C:\\Users\\Public\\Documents");
  EXPECT_EQ(StoredPathFor(u"::{450D8FBA-AD25-11D0-98A8-0800361B1103}", true),
            u"@::{450D8FBA-AD25-11D0-98A8-0800361B1103}");
  EXPECT_EQ(StoredPathFor(u"C:", true), u"C:");
  EXPECT_EQ(StoredPathFor(u"C:\\Data", false), u"C:\\Data");
}

TEST(ShellStoredPath, SortingIsOrdinalSoMarkedEntriesPrecedeDrivesAndUpperCaseLeads) {
  EXPECT_LT(CompareStoredPaths(u"@C:\\Users\\Public", u"A:\\"), 0);
  EXPECT_LT(CompareStoredPaths(u"C:\\", u"D:\\"), 0);
  EXPECT_LT(CompareStoredPaths(u"C:\\Zeta", u"C:\\alpha"), 0);
  EXPECT_GT(CompareStoredPaths(u"C:\\Data\\b", u"C:\\Data"), 0);
  EXPECT_EQ(CompareStoredPaths(u"C:\\Data", u"C:\\Data"), 0);
  EXPECT_LT(CompareStoredPaths(u"", u"C:\\"), 0);
  // Units far apart still order by sign, never by a cut-off difference.
  EXPECT_LT(CompareStoredPaths(u"\u0001", u"\uFFFF"), 0);
  EXPECT_GT(CompareStoredPaths(u"\uFFFF", u"\u0001"), 0);
}

}  // namespace
}  // namespace zx
