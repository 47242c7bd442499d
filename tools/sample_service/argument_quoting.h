#pragma once
// Builds command lines that CommandLineToArgvW and the C runtime split back
// into exactly the given arguments (the installed service's image path).
#include <string>
#include <vector>

namespace zxsample {

std::wstring QuoteArgument(const std::wstring& argument);
// The arguments quoted where needed and joined by single spaces.
std::wstring JoinCommandLine(const std::vector<std::wstring>& arguments);

}  // namespace zxsample
