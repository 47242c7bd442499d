// libFuzzer target: the scan-path tree's check boxes under random operations.
// The input is a program of inserts, clicks and space presses on a synthetic
// tree; the box rules must hold after every step, the collected paths must
// name only checked locations and the result text must count them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "pickers/check_state.h"
#include "pickers/check_state_paths.h"
#include "pickers/scan_result.h"
#include "synthetic_check_tree.h"

namespace {

// Every kind of location the shell tree shows, so box-less items turn up
// inside the tree as well as at its leaves.
std::u16string PathFor(std::uint8_t kind, std::uint8_t name) {
  const std::u16string letter(1, static_cast<char16_t>(u'a' + name % 26));
  const std::u16string drive(1, static_cast<char16_t>(u'C' + name % 4));
  switch (kind % 7) {
    case 0: return u"::{00000000-0000-0000-0000-00000000ABCD}";
    case 1: return u"\\\\srv" + letter;
    case 2: return u"\\\\srv\\share" + letter;
    case 3: return u"@C:\\Users\\" + letter;
    case 4: return drive + u":\\";
    case 5: return u"@" + drive + u":\\";
    default: return u"C:\\" + letter + u"\\" + letter;
  }
}

void CheckResultText(const zx::SyntheticCheckTree& tree) {
  const std::vector<std::u16string> paths = zx::CollectCheckedPaths(tree);
  const std::u16string text = zx::BuildResultText(paths);
  const std::string count = std::to_string(paths.size());
  const std::u16string ending = u"],count:" + std::u16string(count.begin(), count.end()) + u"}}";
  ZX_FUZZ_CHECK(paths.empty() == text.empty());
  if (paths.empty()) return;
  ZX_FUZZ_CHECK(text.rfind(u"{result:{paths:[", 0) == 0);
  ZX_FUZZ_CHECK(text.size() >= ending.size() &&
                text.compare(text.size() - ending.size(), ending.size(), ending) == 0);
  for (const std::u16string& path : paths) ZX_FUZZ_CHECK(!path.empty() && path[0] != u'@');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zx::SyntheticCheckTree tree;
  tree.Insert(nullptr, std::u16string(zx::kComputerFolderPath));
  for (std::size_t at = 0; at + 3 <= size && at < 3 * 400; at += 3) {
    const std::vector<zx::TreeItem> items = tree.Items();
    const zx::TreeItem item = items[data[at + 1] % items.size()];
    switch (data[at] % 4) {
      case 0:
        tree.Insert(data[at + 2] & 0x80 ? nullptr : item, PathFor(data[at + 2], data[at + 1]));
        break;
      case 1: zx::ToggleBoxedCheck(tree, item); break;
      default: zx::ToggleCheck(tree, item); break;
    }
    ZX_FUZZ_CHECK(!zx::FindCheckStateFault(tree));
  }
  CheckResultText(tree);
  return 0;
}
