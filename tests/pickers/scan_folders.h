#pragma once
// The known folder tree on C: that the picker tests browse:
//   C:\ZxScan\Alpha\only-file.txt  a folder holding no folder
//   C:\ZxScan\Beta\Inner           folders below folders
//   C:\ZxScan\KEEP.ZIP             upper-case zip folder: always listed
//   C:\ZxScan\Arch.zip             zip folder: hidden from the default view
//   C:\ZxScan\zeta                 lower case: sorts after the upper case
//   C:\ZxScan\notes.txt            a file: listed only with files shown
namespace zx::test {

inline constexpr wchar_t kScanRoot[] = L"C:\\ZxScan";

// Creates whatever of the tree is missing; false when something cannot be.
bool CreateScanFolders();

}  // namespace zx::test
