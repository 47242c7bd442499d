#include "registrar/registry_script_value_data.h"

#include <utility>

#include "common/ascii_text.h"

namespace zx {
namespace {

int HexDigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

bool ParseDword(std::u16string_view text, std::uint32_t& number) {
  std::uint32_t base = 10;
  if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return false;
  std::uint64_t total = 0;
  for (char16_t c : text) {
    const int digit = HexDigitValue(c);
    if (digit < 0 || static_cast<std::uint32_t>(digit) >= base) return false;
    total = total * base + static_cast<std::uint32_t>(digit);
    if (total > UINT32_MAX) return false;
  }
  number = static_cast<std::uint32_t>(total);
  return true;
}

bool ParseBinary(std::u16string_view text, RegistryBinary& bytes) {
  if (text.size() % 2 != 0) return false;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = HexDigitValue(text[i]);
    const int low = HexDigitValue(text[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  return true;
}

bool ParseMultiString(std::u16string_view text, RegistryMultiString& strings) {
  constexpr std::u16string_view kSeparator = u"\\0";
  if (text.empty()) return true;
  for (;;) {
    const std::size_t end = text.find(kSeparator);
    const std::u16string_view item = text.substr(0, end);
    if (item.empty()) return false;
    strings.emplace_back(item);
    if (end == std::u16string_view::npos) return true;
    text.remove_prefix(end + kSeparator.size());
  }
}

}  // namespace

ScriptErrorCode MakeScriptValueData(std::u16string_view type, std::u16string_view text,
                                    RegistryValue& value) {
  bool valid = true;
  if (EqualsIgnoreAsciiCase(type, u"s")) {
    value = std::u16string(text);
  } else if (EqualsIgnoreAsciiCase(type, u"d")) {
    std::uint32_t number = 0;
    valid = ParseDword(text, number);
    value = number;
  } else if (EqualsIgnoreAsciiCase(type, u"b")) {
    RegistryBinary bytes;
    valid = ParseBinary(text, bytes);
    value = std::move(bytes);
  } else if (EqualsIgnoreAsciiCase(type, u"m")) {
    RegistryMultiString strings;
    valid = ParseMultiString(text, strings);
    value = std::move(strings);
  } else {
    return ScriptErrorCode::kUnknownValueType;
  }
  return valid ? ScriptErrorCode::kNone : ScriptErrorCode::kInvalidValueData;
}

}  // namespace zx
