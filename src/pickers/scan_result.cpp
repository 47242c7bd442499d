#include "pickers/scan_result.h"

#include <string_view>

#include "pickers/check_state_paths.h"

namespace zx {

namespace {

std::u16string PathOf(const CheckTree& tree, TreeItem item) {
  return std::u16string(PathOfStoredPath(tree.StoredPath(item)));
}

// Only direct children: the computer folder's drives, not what lies on them.
void AppendCheckedChildren(const CheckTree& tree, TreeItem parent,
                           std::vector<std::u16string>& paths) {
  for (TreeItem child = tree.FirstChild(parent); child; child = tree.NextSibling(child)) {
    if (tree.ReadState(child) != CheckState::kChecked) continue;
    std::u16string path = PathOf(tree, child);
    if (NamesLocation(path)) paths.push_back(std::move(path));
  }
}

void AppendCheckedItem(const CheckTree& tree, TreeItem item, std::vector<std::u16string>& paths) {
  std::u16string path = PathOf(tree, item);
  if (NamesLocation(path)) {
    paths.push_back(std::move(path));
  } else {
    AppendCheckedChildren(tree, item, paths);
  }
}

// Partial items hold checked items somewhere below; box-less ones may, since
// they only pass on the states below them. Unchecked (or unreadable) items
// hold none.
Descend DescendFor(const std::optional<CheckState>& state) {
  return (state == CheckState::kPartial || state == CheckState::kNoBox) ? Descend::kInto
                                                                        : Descend::kPast;
}

}  // namespace

std::vector<std::u16string> CollectCheckedPaths(const CheckTree& tree) {
  std::vector<std::u16string> paths;
  for (TreeItem item = tree.FirstTopLevelItem(); item;) {
    const std::optional<CheckState> state = tree.ReadState(item);
    if (state == CheckState::kChecked) AppendCheckedItem(tree, item, paths);
    item = NextInPreorder(tree, item, nullptr, DescendFor(state));
  }
  return paths;
}

namespace {

constexpr std::u16string_view kOpening = u"{result:{paths:[";
constexpr std::u16string_view kCountKey = u"],count:";
constexpr std::u16string_view kClosing = u"}}";

std::u16string QuotedPathList(const std::vector<std::u16string>& paths) {
  std::u16string list;
  for (const std::u16string& path : paths) {
    if (!list.empty()) list += u',';
    list += u'"';
    list += path;
    list += u'"';
  }
  return list;
}

std::u16string DoubleBackslashes(std::u16string_view text) {
  std::u16string doubled;
  doubled.reserve(text.size());
  for (const char16_t c : text) {
    doubled += c;
    if (c == u'\\') doubled += c;
  }
  return doubled;
}

std::u16string Decimal(std::size_t value) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
    value /= 10;
  } while (value != 0);
  return digits;
}

}  // namespace

std::u16string BuildResultText(const std::vector<std::u16string>& paths) {
  if (paths.empty()) return {};
  std::u16string text(kOpening);
  text += DoubleBackslashes(QuotedPathList(paths));
  text += kCountKey;
  text += Decimal(paths.size());
  text += kClosing;
  return text;
}

}  // namespace zx
