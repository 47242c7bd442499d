#pragma once
// Which pages may drive the objects: the suite's own pages on this machine
// and the address prefixes an administrator listed. The address comes from
// the page's browser; anything that is not plainly one of those is refused,
// so that a malformed address never counts as trusted.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zx {

// The browser's own limit on an address; a longer one is refused.
inline constexpr std::size_t kMaxPageAddressLength = 2083;

// Whether a drive letter names one of this machine's own disks, not a
// network share mapped to a letter.
using LocalDriveTest = bool (*)(char16_t driveLetter);

// True for
//  - "file:///X:/…" with X a local drive,
//  - "res://module/…" (a page built into a module on this machine),
//  - an address that starts with one of allowedPrefixes, comparing scheme
//    and host without regard to case and the rest exactly.
// Only printable ASCII counts (a browser percent-escapes everything else);
// escapes must be well formed, and no path may hold "." or ".." segments,
// escaped or not, or empty segments inside it. A prefix must itself be a
// "scheme://host…" address; any other prefix is ignored.
bool IsTrustedPageAddress(std::u16string_view address,
                          const std::vector<std::u16string>& allowedPrefixes,
                          LocalDriveTest isLocalDrive);

}  // namespace zx
