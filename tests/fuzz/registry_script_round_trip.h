#pragma once
// Writes a parsed registry script back as script text, every name and text
// quoted, so that parsing the text again must give the same script.
#include <string>

#include "registrar/registry_script.h"

namespace zx {

// The text has no replacement parameters: every '%' is written as "%%".
std::u16string PrintRegistryScript(const RegistryScript& script);

bool SameRegistryScript(const RegistryScript& a, const RegistryScript& b);

}  // namespace zx
