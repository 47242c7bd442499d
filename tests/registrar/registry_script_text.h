#pragma once
// Registry scripts, and the contents of the in-memory registry, as one line
// of script text: every name and string quoted and every '%' doubled, so
// that parsing the text again gives the same script. Tests compare it; the
// fuzzer parses it back.
#include <string>

#include "registrar/registry_script.h"

namespace zx {

// HKCR { NoRemove 'CLSID' { 'K' = s 'x' { val 'V' = d 1 'Sub' } } }
std::u16string PrintRegistryScript(const RegistryScript& script);

}  // namespace zx
