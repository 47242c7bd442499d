#include "registrar/registry_script_variables.h"

#include <algorithm>

namespace zx {
namespace {

std::size_t CountLines(std::u16string_view text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), u'\n'));
}

}  // namespace

ScriptError ExpandScriptVariables(std::u16string_view text, const ScriptVariables& variables,
                                  std::u16string& expanded) {
  expanded.clear();
  std::size_t line = 1;
  std::size_t pos = 0;
  for (;;) {
    const std::size_t open = text.find(u'%', pos);
    const std::u16string_view literal = text.substr(pos, open - pos);
    expanded += literal;
    line += CountLines(literal);
    if (open == std::u16string_view::npos) return {};

    const std::size_t close = text.find(u'%', open + 1);
    if (close == std::u16string_view::npos) return {ScriptErrorCode::kUnterminatedVariable, line};
    const std::u16string_view name = text.substr(open + 1, close - open - 1);
    if (name.empty()) {
      expanded += u'%';
    } else {
      const auto found = variables.find(name);
      if (found == variables.end()) return {ScriptErrorCode::kUnknownVariable, line};
      expanded += found->second;
    }
    pos = close + 1;
  }
}

}  // namespace zx
