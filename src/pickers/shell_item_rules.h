#pragma once
// Which enumerated shell items the scan-path tree lists, and the path it
// keeps with each: the decisions taken on names and attributes, apart from
// the shell calls that produce them.
#include <string>
#include <string_view>

namespace zx {

// What the shell says about an enumerated child, as far as listing goes.
struct ShellChildTraits {
  bool fileSystem;     // SFGAO_FILESYSTEM
  bool folder;         // SFGAO_FOLDER
  bool hasSubfolder;   // SFGAO_HASSUBFOLDER
  bool keptFolder;  // a system folder the tree keeps although it is virtual
};

struct ChildListing {
  bool listed;
  bool expandButton;
};

// Virtual items stay only when they are kept system folders. The default view
// lists folders, expandable when they hold folders; with files shown every
// file-system item is listed and folders are expandable.
ChildListing ListingOf(const ShellChildTraits& traits, bool showFiles);

// Either form of the control panel, which is never listed. The shell may
// report class paths with lower-case hex digits, so case is ignored.
bool IsControlPanelPath(std::u16string_view parsingName);

// The extension as the shell's path utilities find it: from the last dot of
// the last component; none when a space follows that dot.
std::u16string_view ExtensionOf(std::u16string_view path);

// Whether an item with this parsing name may be listed at all. The default
// view hides zip archives (which the shell shows as folders) by an exact
// ".zip": one named ".ZIP" stays.
bool IsNameListed(std::u16string_view parsingName, bool showFiles);

// The path kept with a new item. Below the computer item everything but a
// drive root ("C:\") carries the marker, so that it sorts before the drives.
std::u16string StoredPathFor(std::u16string_view parsingName, bool childOfComputer);

// Ordinal order of two stored paths for sorting an expanded level: -1, 0 or
// 1. (A raw difference of two UTF-16 units cut to 16 bits could flip sign.)
int CompareStoredPaths(std::u16string_view a, std::u16string_view b);

}  // namespace zx
