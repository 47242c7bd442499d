// What the scan-path tree makes of the shell's names and paths: which items
// it lists and keeps under which path, and which carry a check box.
#include <gtest/gtest.h>

#include "pickers/check_state_paths.h"
#include "pickers/shell_item_rules.h"

namespace zx {
namespace {

constexpr std::u16string_view kControlPanelBelowComputer =
    u"::{20d04fe0-3aea-1069-a2d8-08002b30309d}\\::{21EC2020-3AEA-1069-A2DD-08002B30309D}";

TEST(ShellPathRules, CheckBoxesGoToDrivesSharesAndTheComputer) {
  struct Case {
    std::u16string_view path;
    bool eligible, location;
    int drive;
  } cases[] = {
      {u"C:\\", true, true, 2},
      {u"z:\\", true, true, 25},
      {u"\\\\?\\E:\\Long", true, true, 4},
      {u"relative\\folder", false, false, -1},
      {u"", false, false, -1},
      {u"\\\\srv\\share", true, true, -1},
      {u"\\\\server-01", false, true, -1},  // a server root: only its shares are locations
      {u"::{20d04fe0-3aea-1069-a2d8-08002b30309d}", true, false, -1},  // the computer
      {u"@C:\\Users", false, false, -1},  // every reader must drop the marker first
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
    EXPECT_EQ(IsCheckEligible(c.path), c.eligible);
    EXPECT_EQ(NamesLocation(c.path), c.location);
    EXPECT_EQ(DriveNumberOf(c.path), c.drive);
  }
  EXPECT_EQ(PathOfStoredPath(u"@@x"), u"@x");
}

TEST(ShellPathRules, ListingFollowsTheItemsTraitsAndTheView) {
  struct Case {
    ShellChildTraits traits;  // file system, folder, has subfolder, kept system folder
    bool showFiles;
    ChildListing listing;  // listed, expand button
  } cases[] = {
      {{false, true, true, false}, false, {false, false}},
      {{false, true, true, true}, false, {true, true}},
      {{true, true, false, false}, false, {true, false}},
      {{true, false, false, false}, false, {false, false}},
      {{true, false, false, false}, true, {true, false}},
      {{true, true, false, false}, true, {true, true}},
  };
  for (const Case& c : cases) {
    const ChildListing listing = ListingOf(c.traits, c.showFiles);
    EXPECT_EQ(listing.listed, c.listing.listed) << &c - cases;
    EXPECT_EQ(listing.expandButton, c.listing.expandButton) << &c - cases;
  }
}

TEST(ShellPathRules, NamesHiddenFromTheTree) {
  struct Case {
    std::u16string_view name;
    bool listedByDefault, listedWithFiles;
  } cases[] = {
      {u"::{26ee0668-a00a-44d7-9371-beb064c98683}", false, false},  // the control panel
      {kControlPanelBelowComputer, false, false},
      {u"C:\\Data\\archive.zip", false, true},  // only an exact lower-case ".zip"
      {u"C:\\Data\\ARCHIVE.ZIP", true, true},
      {u"C:\\data.zip\\inner", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name.begin(), c.name.end()));
    EXPECT_EQ(IsNameListed(c.name, false), c.listedByDefault);
    EXPECT_EQ(IsNameListed(c.name, true), c.listedWithFiles);
  }
  // As the shell's path utilities find it: none when a space follows the dot.
  EXPECT_EQ(ExtensionOf(u"C:\\a\\b.tar.gz"), u".gz");
  EXPECT_EQ(ExtensionOf(u"C:\\a\\file. txt"), u"");
}

TEST(ShellPathRules, BelowTheComputerOnlyDriveRootsGoWithoutMarkerSoTheySortLast) {
  EXPECT_EQ(StoredPathFor(u"C:\\", true), u"C:\\");
  EXPECT_EQ(StoredPathFor(u"C:\\Users\\Public", true), u"@C:\\Users\\Public");
  EXPECT_EQ(StoredPathFor(u"C:\\Data", false), u"C:\\Data");
  // Ordinal, reduced to a sign: units far apart must not wrap around.
  EXPECT_EQ(CompareStoredPaths(u"@C:\\Users\\Public", u"A:\\"), -1);
  EXPECT_EQ(CompareStoredPaths(u"C:\\Data\\b", u"C:\\Data"), 1);
  EXPECT_EQ(CompareStoredPaths(u"\u0001", u"\uFFFF"), -1);
}

}  // namespace
}  // namespace zx
