#include "support/registry_snapshot.h"

#include <algorithm>
#include <vector>

#include "common/win_resources.h"

namespace zx::test {
namespace {

std::string Utf8(const wchar_t* text, int length) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string utf8(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, length, utf8.data(), size, nullptr, nullptr);
  return utf8;
}

// "path", then "path [name] type:hex" for each value, then each subkey's lines.
void CollectKey(HKEY key, const std::string& path, std::vector<std::string>& lines) {
  constexpr char kHex[] = "0123456789abcdef";
  lines.push_back(path);
  std::vector<wchar_t> name(16384);
  std::vector<BYTE> data(65536);
  for (DWORD i = 0;; ++i) {
    DWORD length = 16384, type = 0, size = 65536;
    if (RegEnumValueW(key, i, name.data(), &length, nullptr, &type, data.data(), &size)) break;
    std::string line = path + " [" + Utf8(name.data(), length) + "] " + std::to_string(type) + ":";
    for (DWORD at = 0; at < size; ++at) line += {kHex[data[at] >> 4], kHex[data[at] & 15]};
    lines.push_back(line);
  }
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (RegEnumKeyExW(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr)) break;
    UniqueRegKey subkey;
    if (RegOpenKeyExW(key, name.data(), 0, KEY_READ, subkey.Put()) == ERROR_SUCCESS) {
      CollectKey(subkey.Get(), path + "\\" + Utf8(name.data(), length), lines);
    }
  }
}

}  // namespace

std::string RegistrySnapshot(HKEY root, const std::wstring& path) {
  UniqueRegKey key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.Put())) return "(absent)\n";
  std::vector<std::string> lines;
  CollectKey(key.Get(), Utf8(path.c_str(), static_cast<int>(path.size())), lines);
  std::sort(lines.begin(), lines.end());
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

}  // namespace zx::test
