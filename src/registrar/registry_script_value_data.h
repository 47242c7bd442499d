#pragma once
// Turns a script value's type letter and text into registry value data.
//
//   s 'text'        REG_SZ
//   d '255', d 0xFF REG_DWORD, decimal or 0x-hexadecimal, at most 32 bits
//   b '0A1BFF'      REG_BINARY, pairs of hexadecimal digits
//   m 'one\0two'    REG_MULTI_SZ, strings separated by the two characters \0;
//                   an empty string inside the list would end it early, so
//                   it is refused
#include <string_view>

#include "registrar/registrar_registry.h"
#include "registrar/registry_script_error.h"

namespace zx {

// Returns None, UnknownValueType or InvalidValueData.
ScriptErrorCode MakeScriptValueData(std::u16string_view type, std::u16string_view text,
                                    RegistryValue& value);

}  // namespace zx
