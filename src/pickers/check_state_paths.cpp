#include "pickers/check_state_paths.h"

#include "common/ascii_text.h"

namespace zx {
namespace {

constexpr std::u16string_view kLongPathPrefix = u"\\\\?\\";
constexpr std::u16string_view kNetworkPrefix = u"\\\\";
constexpr std::size_t kServerRootLastBackslash = 1;

char16_t LowerAscii(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool StartsWith(std::u16string_view text, std::u16string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::u16string_view PathOfStoredPath(std::u16string_view storedPath) {
  if (!storedPath.empty() && storedPath.front() == kComputerChildMarker)
    storedPath.remove_prefix(1);
  return storedPath;
}

bool IsComputerFolderPath(std::u16string_view path) {
  return EqualsIgnoreAsciiCase(path, kComputerFolderPath);
}

int DriveNumberOf(std::u16string_view path) {
  if (StartsWith(path, kLongPathPrefix)) path.remove_prefix(kLongPathPrefix.size());
  if (path.size() < 2 || path[1] != u':') return -1;
  const char16_t letter = LowerAscii(path[0]);
  return (letter >= u'a' && letter <= u'z') ? letter - u'a' : -1;
}

bool IsNetworkPath(std::u16string_view path) { return StartsWith(path, kNetworkPrefix); }

bool IsServerRoot(std::u16string_view path) {
  return IsNetworkPath(path) && path.rfind(u'\\') == kServerRootLastBackslash;
}

bool IsCheckEligible(std::u16string_view path) {
  return (IsComputerFolderPath(path) || NamesLocation(path)) && !IsServerRoot(path);
}

bool NamesLocation(std::u16string_view path) {
  return DriveNumberOf(path) != -1 || IsNetworkPath(path);
}

}  // namespace zx
