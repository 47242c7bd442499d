#pragma once
// The small registry model the registrar writes through: predefined roots,
// typed values and keys. Win32 implements it over the real registry; tests
// implement it in memory.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zx {

enum class RegistryRoot { kClassesRoot, kCurrentUser, kLocalMachine, kUsers, kCurrentConfig };

// Value data by registry type: REG_SZ, REG_DWORD, REG_BINARY, REG_MULTI_SZ.
using RegistryBinary = std::vector<std::uint8_t>;
using RegistryMultiString = std::vector<std::u16string>;
using RegistryValue =
    std::variant<std::u16string, std::uint32_t, RegistryBinary, RegistryMultiString>;

// Win32 error numbers, passed through unchanged; 0 is success.
using RegistryStatus = std::uint32_t;
inline constexpr RegistryStatus kRegistryOk = 0;
inline constexpr RegistryStatus kRegistryNotFound = 2;  // ERROR_FILE_NOT_FOUND

// An open key; closing happens when the object goes. Names are single path
// components; out parameters are set only on success.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;

  virtual RegistryStatus OpenSubkey(std::u16string_view name,
                                    std::unique_ptr<RegistryKey>& subkey) = 0;
  // Opens the subkey, creating it when missing.
  virtual RegistryStatus CreateSubkey(std::u16string_view name,
                                      std::unique_ptr<RegistryKey>& subkey) = 0;
  // An empty name stands for the key's default value.
  virtual RegistryStatus SetValue(std::u16string_view name, const RegistryValue& value) = 0;
  virtual RegistryStatus DeleteValue(std::u16string_view name) = 0;
  // Fails when the subkey has subkeys of its own.
  virtual RegistryStatus DeleteEmptySubkey(std::u16string_view name) = 0;
  virtual RegistryStatus ListSubkeys(std::vector<std::u16string>& names) = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;
  virtual RegistryStatus OpenRoot(RegistryRoot root, std::unique_ptr<RegistryKey>& key) = 0;
};

}  // namespace zx
