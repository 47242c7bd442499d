#pragma once
// The text the scan-path dialog hands to the page for its checked locations:
//   {result:{paths:["C:\\","D:\\Data"],count:2}}
// Pages read it as it stands: the keys stay unquoted and backslashes are the
// only characters escaped.
#include <string>
#include <vector>

namespace zx {

// Empty when there are no paths: the dialog then reports nothing chosen.
std::u16string BuildResultText(const std::vector<std::u16string>& paths);

}  // namespace zx
