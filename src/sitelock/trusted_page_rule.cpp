#include "sitelock/trusted_page_rule.h"

#include <algorithm>

namespace zx {
namespace {

// An address as "scheme://authority rest"; rest starts with '/', '?' or
// '#', or is empty.
struct AddressParts {
  std::u16string_view scheme;
  std::u16string_view authority;
  std::u16string_view rest;
};

char16_t LowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c; }
bool IsAsciiLetter(char16_t c) { return LowerAscii(c) >= u'a' && LowerAscii(c) <= u'z'; }
bool IsAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) {
           return LowerAscii(x) == LowerAscii(y);
         });
}

// No space, no control character, nothing beyond ASCII.
bool IsPlainAscii(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(), [](char16_t c) { return c > u' ' && c < 0x7F; });
}

bool IsSchemeName(std::u16string_view scheme) {
  return !scheme.empty() && IsAsciiLetter(scheme[0]) &&
         std::all_of(scheme.begin(), scheme.end(), [](char16_t c) {
           return IsAsciiLetter(c) || IsAsciiDigit(c) || c == u'+' || c == u'-' || c == u'.';
         });
}

bool SplitAddress(std::u16string_view address, AddressParts& parts) {
  constexpr std::u16string_view kSchemeEnd = u"://";
  const std::size_t schemeEnd = address.find(kSchemeEnd);
  if (schemeEnd == std::u16string_view::npos) return false;
  parts.scheme = address.substr(0, schemeEnd);
  const std::u16string_view afterScheme = address.substr(schemeEnd + kSchemeEnd.size());
  const std::size_t authorityEnd = std::min(afterScheme.find_first_of(u"/?#"), afterScheme.size());
  parts.authority = afterScheme.substr(0, authorityEnd);
  parts.rest = afterScheme.substr(authorityEnd);
  return IsSchemeName(parts.scheme);
}

// The path ends where the query or the fragment begins.
std::u16string_view PathOf(std::u16string_view rest) {
  return rest.substr(0, std::min(rest.find_first_of(u"?#"), rest.size()));
}

int HexValue(char16_t c) {
  if (IsAsciiDigit(c)) return c - u'0';
  if (LowerAscii(c) >= u'a' && LowerAscii(c) <= u'f') return LowerAscii(c) - u'a' + 10;
  return -1;
}

// Each "%XX" becomes the unit XX; false for an escape that is cut short,
// not hexadecimal, or gives a control character.
bool PercentDecode(std::u16string_view text, std::u16string& decoded) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'%') {
      decoded += text[i];
      continue;
    }
    if (text.size() - i < 3) return false;
    const int high = HexValue(text[i + 1]);
    const int low = HexValue(text[i + 2]);
    if (high < 0 || low < 0) return false;
    const char16_t unit = static_cast<char16_t>(high * 16 + low);
    if (unit < u' ' || unit == 0x7F) return false;
    decoded += unit;
    i += 2;
  }
  return true;
}

// Read as the server or the file system will read it (escaped separators
// and dots included): no "." or ".." segment, and no empty segment except
// before a leading separator or after a trailing one.
bool IsCleanPath(std::u16string_view path) {
  std::u16string decoded;
  if (!PercentDecode(path, decoded)) return false;
  std::size_t start = 0;
  for (std::size_t end = 0; end <= decoded.size(); ++end) {
    if (end < decoded.size() && !IsSeparator(decoded[end])) continue;
    const std::u16string_view segment = std::u16string_view(decoded).substr(start, end - start);
    if (segment == u"." || segment == u"..") return false;
    const bool inside = start != 0 && end != decoded.size();
    if (segment.empty() && inside) return false;
    start = end + 1;
  }
  return true;
}

// "file:///X:/…": no host, a drive letter, the drive's root, a clean path.
bool IsLocalFile(const AddressParts& parts, LocalDriveTest isLocalDrive) {
  const std::u16string_view path = PathOf(parts.rest);
  return EqualIgnoringCase(parts.scheme, u"file") && parts.authority.empty() &&
         path.size() >= 4 && path[0] == u'/' && IsAsciiLetter(path[1]) && path[2] == u':' &&
         IsSeparator(path[3]) && IsCleanPath(path) && isLocalDrive(path[1]);
}

// "res://module/…": a module found on this machine by name or drive path,
// never one on a share ("res://\\server\…" or an escaped form of it).
bool IsModuleResource(const AddressParts& parts) {
  return EqualIgnoringCase(parts.scheme, u"res") && !parts.authority.empty() &&
         (IsAsciiLetter(parts.authority[0]) || IsAsciiDigit(parts.authority[0])) &&
         IsCleanPath(parts.authority) && IsCleanPath(PathOf(parts.rest));
}

// A prefix names one host exactly: no escapes, no user name, nothing a
// browser would read as a separator.
bool IsUsablePrefix(std::u16string_view prefix, AddressParts& parts) {
  return prefix.size() <= kMaxPageAddressLength && IsPlainAscii(prefix) &&
         SplitAddress(prefix, parts) && !parts.authority.empty() &&
         parts.authority.find_first_of(u"%@\\") == std::u16string_view::npos;
}

// The whole authority must match, so "localhost" does not admit
// "localhost.example.com".
bool StartsWithPrefix(const AddressParts& address, std::u16string_view prefix) {
  AddressParts allowed;
  return IsUsablePrefix(prefix, allowed) && EqualIgnoringCase(address.scheme, allowed.scheme) &&
         EqualIgnoringCase(address.authority, allowed.authority) &&
         address.rest.substr(0, allowed.rest.size()) == allowed.rest;
}

bool IsAllowListed(const AddressParts& parts, const std::vector<std::u16string>& allowedPrefixes) {
  return IsCleanPath(PathOf(parts.rest)) &&
         std::any_of(allowedPrefixes.begin(), allowedPrefixes.end(),
                     [&](const std::u16string& prefix) { return StartsWithPrefix(parts, prefix); });
}

}  // namespace

bool IsTrustedPageAddress(std::u16string_view address,
                          const std::vector<std::u16string>& allowedPrefixes,
                          LocalDriveTest isLocalDrive) {
  AddressParts parts;
  if (address.size() > kMaxPageAddressLength || !IsPlainAscii(address) ||
      !SplitAddress(address, parts)) {
    return false;
  }
  return IsLocalFile(parts, isLocalDrive) || IsModuleResource(parts) ||
         IsAllowListed(parts, allowedPrefixes);
}

}  // namespace zx
