#pragma once
// Parses registry-script text into the keys and values to write or remove.
//
//   script := root+
//   root   := ROOTKEY '{' entry* '}'            (HKCR, HKCU, HKLM, HKU, HKCC
//                                              or their HKEY_... long names)
//   entry  := 'val' name '=' value             (not directly in a root block)
//           | flag? name ('=' value)? block?   (no value or block after Delete)
//   flag   := 'NoRemove' | 'ForceRemove' | 'Delete'
//   value  := type text                        (see registry_script_value_data.h)
//
// %NAME% parameters are replaced before parsing. Keywords match in any case.
#include <string_view>

#include "registrar/registry_script.h"
#include "registrar/registry_script_error.h"
#include "registrar/registry_script_variables.h"

namespace zx {

// Deep enough for any registration; shallow enough to keep recursion safe.
inline constexpr int kMaxScriptNesting = 32;

struct ScriptParseResult {
  RegistryScript script;  // empty unless ok()
  ScriptError error;
  bool ok() const { return error.code == ScriptErrorCode::kNone; }
};

ScriptParseResult ParseRegistryScript(std::u16string_view text, const ScriptVariables& variables);

// For script resources, which are stored as UTF-8 text.
ScriptParseResult ParseRegistryScriptUtf8(std::string_view bytes, const ScriptVariables& variables);

}  // namespace zx
