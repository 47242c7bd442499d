#pragma once
// A small scan-path tree, built item by item as the shell tree inserts them
// (children of the computer item already in their sorted order):
//
//   computer            ::{20D04FE0-...}
//     publicDocs        @C:\Users\Public
//     virtualItem       @::{...}            (no box)
//     c                 C:\                 (drive root)
//       a               C:\A
//         x             C:\A\x
//         y             C:\A\y
//       b               C:\B
//     d                 D:\                 (drive root)
//   server              \\srv               (server root: no box)
//     share             \\srv\share
#include <string>

#include "pickers/check_state_paths.h"
#include "synthetic_check_tree.h"

namespace zx {

inline constexpr char16_t kVirtualItemPath[] = u"::{00000000-0000-0000-0000-00000000ABCD}";

struct SampleScanTree {
  SyntheticCheckTree tree;
  TreeItem computer = tree.Insert(nullptr, std::u16string(kComputerFolderPath));
  TreeItem publicDocs = tree.Insert(computer, u"@C:\\Users\\Public");
  TreeItem virtualItem = tree.Insert(computer, std::u16string(u"@") + kVirtualItemPath);
  TreeItem c = tree.Insert(computer, u"C:\\");
  TreeItem a = tree.Insert(c, u"C:\\A");
  TreeItem x = tree.Insert(a, u"C:\\A\\x");
  TreeItem y = tree.Insert(a, u"C:\\A\\y");
  TreeItem b = tree.Insert(c, u"C:\\B");
  TreeItem d = tree.Insert(computer, u"D:\\");
  TreeItem server = tree.Insert(nullptr, u"\\\\srv");
  TreeItem share = tree.Insert(server, u"\\\\srv\\share");

  SampleScanTree() { tree.TakeNotices(); }
};

}  // namespace zx
