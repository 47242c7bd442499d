#include "registrar/registrar_variables.h"

namespace zx {
namespace {

std::u16string DoubleSingleQuotes(std::u16string_view text) {
  std::u16string doubled;
  for (char16_t c : text) {
    doubled += c;
    if (c == u'\'') doubled += c;
  }
  return doubled;
}

}  // namespace

ScriptVariables MakeClassScriptVariables(const ClassRegistration& registration) {
  const std::u16string modulePath = DoubleSingleQuotes(registration.modulePath);
  return {
      {u"OBJECT_NAME", std::u16string(registration.objectName)},
      {u"OBJECT_GUID_STRING", std::u16string(registration.clsid)},
      {u"TYPELIB_GUID_STRING", std::u16string(registration.typeLibraryId)},
      {u"Module", modulePath},
      {u"Module_Raw", modulePath},
      {u"APPID", u""},
  };
}

}  // namespace zx
