// How the URL given to `open` becomes the request path and the service name.
#pragma once

#include <string_view>

#include "protocol/result_codes.h"

namespace zx {

// Everything before the CGI prefix (scheme, host, port) plays no part.
inline constexpr std::u16string_view kCgiPrefix = u"/zev-cgi-bin";

// Views into the URL they were split from; valid as long as it is.
struct RequestUrlParts {
  std::u16string_view afterPrefix;  // path and query: what a GET searches for `json`
  std::u16string_view path;         // afterPrefix cut at its first '?': sent on the pipe
  std::u16string_view service;      // first segment of path: selects the pipe
};

// Splits `url` at the first exact-case CGI prefix. Returns kOk, or
// result::kBadRequest when the prefix is missing or no service is named;
// `parts` is meaningful only after kOk.
Result SplitRequestUrl(std::u16string_view url, RequestUrlParts& parts);

}  // namespace zx
