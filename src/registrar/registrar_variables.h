#pragma once
// The replacement values every class's registry script is run with.
#include <string_view>

#include "registrar/registry_script_variables.h"

namespace zx {

struct ClassRegistration {
  std::u16string_view objectName;     // e.g. u"ZevXMLHttpRequest_0"
  std::u16string_view clsid;          // in braces
  std::u16string_view typeLibraryId;  // in braces
  std::u16string_view modulePath;     // full path of this module
};

// OBJECT_NAME, OBJECT_GUID_STRING, TYPELIB_GUID_STRING, Module, Module_Raw
// and an empty APPID. The module path has its single quotes doubled because
// it is replaced into quoted script text, which halves them again. It is
// never wrapped in double quotes: that is only for an executable's own path.
ScriptVariables MakeClassScriptVariables(const ClassRegistration& registration);

}  // namespace zx
