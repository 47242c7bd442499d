#pragma once
// Readable text of parsed scripts and registry values, for comparisons in tests.
#include <string>
#include <string_view>

#include "registrar/registry_script.h"

namespace zx {

// ASCII as it is; other characters as \uXXXX.
std::string Narrow(std::u16string_view text);

// HKCR, HKCU, HKLM, HKU or HKCC
const char* DescribeRoot(RegistryRoot root);

// s 'text', d 255, b 0aff, m 'one\0two'
std::string DescribeValue(const RegistryValue& value);

// One line per root, key and named value, indented by two spaces per level:
//   HKCR
//     NoRemove CLSID
//       ForceRemove {...} = s 'text'
//         val ThreadingModel = s 'Apartment'
std::string DescribeScript(const RegistryScript& script);

}  // namespace zx
