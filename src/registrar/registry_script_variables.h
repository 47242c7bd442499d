#pragma once
// Replacement of %NAME% parameters in a registry script's text.
#include <map>
#include <string>
#include <string_view>

#include "common/ascii_text.h"
#include "registrar/registry_script_error.h"

namespace zx {

// Replacement values by parameter name; names match case-insensitively.
using ScriptVariables = std::map<std::u16string, std::u16string, IgnoreAsciiCaseLess>;

// Replaces every %NAME% in `text` by its value; "%%" stands for one '%'.
// Values are inserted as they are and not searched again, so a value that
// will sit inside quotes must have its quotes doubled by whoever supplies it.
ScriptError ExpandScriptVariables(std::u16string_view text, const ScriptVariables& variables,
                                  std::u16string& expanded);

}  // namespace zx
