#pragma once
// The request of the latency rows: about 1 KB of JSON as a page builds it,
// in the three shapes the clients need: the form body a page sends, the
// percent-encoded JSON the scripts get, and the frame a bare client writes.
#include <string>

namespace zxbench {

inline constexpr size_t kSampleJsonBytes = 1024;

struct SampleRequest {
  std::wstring segment;
  std::wstring pipeName;
  std::wstring pipePath;     // \\.\Pipe\<name>
  std::wstring url;          // http://localhost/zev-cgi-bin/<segment>/query
  std::string json;          // kSampleJsonBytes of UTF-8
  std::wstring encodedJson;  // as encodeURIComponent writes it
  std::wstring form;         // json=<encodedJson>
  std::string frame;         // length, then /<segment>/query?json=<json>
};

SampleRequest MakeSampleRequest(const std::wstring& segment, const std::wstring& pipeName);

}  // namespace zxbench
