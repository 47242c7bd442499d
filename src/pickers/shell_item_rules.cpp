#include "pickers/shell_item_rules.h"

#include "common/ascii_text.h"
#include "pickers/check_state_paths.h"

namespace zx {
namespace {

constexpr std::u16string_view kControlPanelBelowComputer =
    u"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\::{21EC2020-3AEA-1069-A2DD-08002B30309D}";
constexpr std::u16string_view kControlPanel = u"::{26EE0668-A00A-44D7-9371-BEB064C98683}";
constexpr std::u16string_view kZipExtension = u".zip";
constexpr std::size_t kDriveRootLength = 3;

}  // namespace

ChildListing ListingOf(const ShellChildTraits& traits, bool showFiles) {
  if (!traits.fileSystem && !traits.keptFolder) return {false, false};
  if (showFiles) return {traits.fileSystem || traits.folder, traits.folder};
  return {traits.folder, traits.hasSubfolder};
}

bool IsControlPanelPath(std::u16string_view parsingName) {
  return EqualsIgnoreAsciiCase(parsingName, kControlPanelBelowComputer) ||
         EqualsIgnoreAsciiCase(parsingName, kControlPanel);
}

std::u16string_view ExtensionOf(std::u16string_view path) {
  std::size_t dot = std::u16string_view::npos;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] == u'\\' || path[i] == u' ') {
      dot = std::u16string_view::npos;
    } else if (path[i] == u'.') {
      dot = i;
    }
  }
  return dot == std::u16string_view::npos ? std::u16string_view() : path.substr(dot);
}

bool IsNameListed(std::u16string_view parsingName, bool showFiles) {
  if (IsControlPanelPath(parsingName)) return false;
  return showFiles || ExtensionOf(parsingName) != kZipExtension;
}

std::u16string StoredPathFor(std::u16string_view parsingName, bool childOfComputer) {
  std::u16string stored;
  if (childOfComputer && parsingName.size() > kDriveRootLength) stored += kComputerChildMarker;
  stored += parsingName;
  return stored;
}

int CompareStoredPaths(std::u16string_view a, std::u16string_view b) {
  const int order = a.compare(b);
  return (order > 0) - (order < 0);
}

}  // namespace zx
