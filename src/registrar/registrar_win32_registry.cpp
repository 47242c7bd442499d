#include "registrar/registrar_win32_registry.h"

#include <windows.h>

#include <cstring>

#include "common/win_resources.h"

namespace zx {
namespace {

constexpr REGSAM kKeyAccess = KEY_READ | KEY_WRITE;
constexpr DWORD kMaxKeyNameLength = 255;

std::wstring WideString(std::u16string_view text) {
  return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

struct ValueBytes {
  DWORD type;
  std::vector<BYTE> data;
};

void AppendTerminated(std::u16string_view text, std::vector<BYTE>& data) {
  const auto* bytes = reinterpret_cast<const BYTE*>(text.data());
  data.insert(data.end(), bytes, bytes + text.size() * sizeof(char16_t));
  data.insert(data.end(), sizeof(char16_t), 0);
}

struct ValueSerializer {
  ValueBytes operator()(const std::u16string& text) const {
    ValueBytes value{REG_SZ, {}};
    AppendTerminated(text, value.data);
    return value;
  }
  ValueBytes operator()(std::uint32_t number) const {
    ValueBytes value{REG_DWORD, std::vector<BYTE>(sizeof number)};
    std::memcpy(value.data.data(), &number, sizeof number);  // little-endian, as REG_DWORD
    return value;
  }
  ValueBytes operator()(const RegistryBinary& bytes) const { return {REG_BINARY, bytes}; }
  ValueBytes operator()(const RegistryMultiString& strings) const {
    ValueBytes value{REG_MULTI_SZ, {}};
    for (const std::u16string& text : strings) AppendTerminated(text, value.data);
    AppendTerminated(u"", value.data);
    return value;
  }
};

class Win32RegistryKey final : public RegistryKey {
 public:
  explicit Win32RegistryKey(UniqueRegKey key) : m_key(key.Get()), m_owned(std::move(key)) {}
  // Predefined roots are borrowed, never closed.
  explicit Win32RegistryKey(HKEY predefined) : m_key(predefined) {}

  RegistryStatus OpenSubkey(std::u16string_view name,
                            std::unique_ptr<RegistryKey>& subkey) override {
    UniqueRegKey key;
    const LONG status = RegOpenKeyExW(m_key, WideString(name).c_str(), 0, kKeyAccess, key.Put());
    if (status == ERROR_SUCCESS) subkey = std::make_unique<Win32RegistryKey>(std::move(key));
    return static_cast<RegistryStatus>(status);
  }

  RegistryStatus CreateSubkey(std::u16string_view name,
                              std::unique_ptr<RegistryKey>& subkey) override {
    UniqueRegKey key;
    const LONG status =
        RegCreateKeyExW(m_key, WideString(name).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        kKeyAccess, nullptr, key.Put(), nullptr);
    if (status == ERROR_SUCCESS) subkey = std::make_unique<Win32RegistryKey>(std::move(key));
    return static_cast<RegistryStatus>(status);
  }

  RegistryStatus SetValue(std::u16string_view name, const RegistryValue& value) override {
    const ValueBytes bytes = std::visit(ValueSerializer{}, value);
    const LONG status = RegSetValueExW(m_key, WideString(name).c_str(), 0, bytes.type,
                                       bytes.data.data(), static_cast<DWORD>(bytes.data.size()));
    return static_cast<RegistryStatus>(status);
  }

  RegistryStatus DeleteValue(std::u16string_view name) override {
    return static_cast<RegistryStatus>(RegDeleteValueW(m_key, WideString(name).c_str()));
  }

  RegistryStatus DeleteEmptySubkey(std::u16string_view name) override {
    return static_cast<RegistryStatus>(RegDeleteKeyW(m_key, WideString(name).c_str()));
  }

  RegistryStatus ListSubkeys(std::vector<std::u16string>& names) override {
    names.clear();
    wchar_t name[kMaxKeyNameLength + 1];
    for (DWORD index = 0;; ++index) {
      DWORD length = kMaxKeyNameLength + 1;
      const LONG status =
          RegEnumKeyExW(m_key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
      if (status == ERROR_NO_MORE_ITEMS) return kRegistryOk;
      if (status != ERROR_SUCCESS) return static_cast<RegistryStatus>(status);
      names.emplace_back(reinterpret_cast<const char16_t*>(name), length);
    }
  }

 private:
  HKEY m_key;
  UniqueRegKey m_owned;  // empty for a predefined root
};

HKEY PredefinedKey(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::kClassesRoot:
      return HKEY_CLASSES_ROOT;
    case RegistryRoot::kCurrentUser:
      return HKEY_CURRENT_USER;
    case RegistryRoot::kLocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegistryRoot::kUsers:
      return HKEY_USERS;
    case RegistryRoot::kCurrentConfig:
      return HKEY_CURRENT_CONFIG;
  }
  return nullptr;
}

}  // namespace

RegistryStatus Win32Registry::OpenRoot(RegistryRoot root, std::unique_ptr<RegistryKey>& key) {
  const HKEY predefined = PredefinedKey(root);
  if (!predefined) return ERROR_INVALID_PARAMETER;
  key = std::make_unique<Win32RegistryKey>(predefined);
  return kRegistryOk;
}

}  // namespace zx
