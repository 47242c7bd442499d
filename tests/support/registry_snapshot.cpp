#include "support/registry_snapshot.h"

#include <algorithm>
#include <vector>

#include "common/win_resources.h"

namespace zx::test {
namespace {

std::string Utf8(const wchar_t* text, DWORD length) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string utf8(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), &utf8[0], size, nullptr, nullptr);
  return utf8;
}

void CollectValues(HKEY key, const std::string& path, std::vector<std::string>& lines) {
  std::vector<wchar_t> name(16384);
  std::vector<BYTE> data(65536);
  for (DWORD index = 0;; ++index) {
    DWORD nameLength = static_cast<DWORD>(name.size()), type = 0, size = static_cast<DWORD>(data.size());
    if (RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &size) !=
        ERROR_SUCCESS) {
      break;
    }
    lines.push_back(path + " [" + Utf8(name.data(), nameLength) + "] " + std::to_string(type) +
                    ":" + HexBytes(data.data(), size));
  }
}

void CollectKey(HKEY key, const std::string& path, std::vector<std::string>& lines) {
  lines.push_back(path);
  CollectValues(key, path, lines);
  std::vector<wchar_t> name(256);
  for (DWORD index = 0;; ++index) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    if (RegEnumKeyExW(key, index, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    UniqueRegKey subkey;
    if (RegOpenKeyExW(key, name.data(), 0, KEY_READ, subkey.Put()) == ERROR_SUCCESS) {
      CollectKey(subkey.Get(), path + "\\" + Utf8(name.data(), nameLength), lines);
    }
  }
}

}  // namespace

std::string HexBytes(const BYTE* data, DWORD size) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (DWORD i = 0; i < size; ++i) {
    hex += kDigits[data[i] >> 4];
    hex += kDigits[data[i] & 15];
  }
  return hex;
}

std::string RegistrySnapshot(HKEY root, const std::wstring& path) {
  UniqueRegKey key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return "(absent)\n";
  std::vector<std::string> lines;
  CollectKey(key.Get(), Utf8(path.c_str(), static_cast<DWORD>(path.size())), lines);
  std::sort(lines.begin(), lines.end());
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

}  // namespace zx::test
