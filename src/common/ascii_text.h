#pragma once
// Case-insensitive comparison for script keywords, replacement names and
// protected key names, all of which are ASCII.
#include <string_view>

namespace zx {

bool EqualsIgnoreAsciiCase(std::u16string_view a, std::u16string_view b);

// Orders names the way EqualsIgnoreAsciiCase matches them; transparent, so
// maps keyed by std::u16string can be searched with a string_view.
struct IgnoreAsciiCaseLess {
  using is_transparent = void;
  bool operator()(std::u16string_view a, std::u16string_view b) const;
};

}  // namespace zx
