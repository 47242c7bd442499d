#pragma once
// What an item's path says about its check box: whether it may have one and
// whether it names a location the result can list.
#include <string_view>

namespace zx {

// Parsing name of the computer folder. The shell may report it with lower-case
// hex digits, so it is always compared ignoring ASCII case.
inline constexpr std::u16string_view kComputerFolderPath =
    u"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

// Children of the computer item whose parsing name is longer than a drive root
// are stored behind this marker, so that they sort before the drives.
inline constexpr char16_t kComputerChildMarker = u'@';

// The item's path: its stored path without one leading marker.
std::u16string_view PathOfStoredPath(std::u16string_view storedPath);

bool IsComputerFolderPath(std::u16string_view path);

// 0 for A: to 25 for Z:, also behind a "\\?\" prefix; -1 when the path names
// no drive.
int DriveNumberOf(std::u16string_view path);

// A path behind two backslashes. (The system also counts mapped drive letters
// as network paths; every rule below accepts drive paths anyway, and none of
// them is a server root.)
bool IsNetworkPath(std::u16string_view path);

// "\\server": a network path whose last backslash is its second character.
// Never a check box: only the shares below it are locations.
bool IsServerRoot(std::u16string_view path);

// Whether an item with this path may carry a check box: the computer folder,
// a path on a drive or a network path other than a server root.
bool IsCheckEligible(std::u16string_view path);

// Whether the result can list this path as it is: it has a drive or is a
// network path.
bool NamesLocation(std::u16string_view path);

}  // namespace zx
