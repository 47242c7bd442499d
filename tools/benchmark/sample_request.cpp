#include "sample_request.h"

#include <cctype>

#include "protocol/request_frame.h"

namespace zxbench {
namespace {

// A scan request with padding that brings it to exactly kSampleJsonBytes.
std::string SampleJson() {
  std::string json =
      "{\"action\":\"scan\",\"paths\":[\"C:\\\\Users\\\\Public\\\\Documents\","
      "\"D:\\\\Projects\"],\"options\":{\"archives\":true,\"heuristics\":\"high\","
      "\"exclude\":[\"*.iso\",\"*.vhd\"]},\"note\":\"";
  const std::string end = "\"}";
  json.append(kSampleJsonBytes - json.size() - end.size(), 'x');
  return json + end;
}

// What a page's encodeURIComponent leaves alone.
bool Unreserved(unsigned char c) {
  return std::isalnum(c) ||
         std::string_view("-_.!~*'()").find(static_cast<char>(c)) != std::string_view::npos;
}

std::wstring PercentEncode(const std::string& bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  std::wstring encoded;
  for (unsigned char c : bytes) {
    if (Unreserved(c)) {
      encoded += static_cast<wchar_t>(c);
    } else {
      encoded += L'%';
      encoded += static_cast<wchar_t>(kHex[c >> 4]);
      encoded += static_cast<wchar_t>(kHex[c & 15]);
    }
  }
  return encoded;
}

std::string Narrow(const std::wstring& ascii) { return std::string(ascii.begin(), ascii.end()); }

}  // namespace

SampleRequest MakeSampleRequest(const std::wstring& segment, const std::wstring& pipeName) {
  SampleRequest request;
  request.segment = segment;
  request.pipeName = pipeName;
  request.pipePath = L"\\\\.\\Pipe\\" + pipeName;
  request.url = L"http://localhost/zev-cgi-bin/" + segment + L"/query";
  request.json = SampleJson();
  request.encodedJson = PercentEncode(request.json);
  request.form = L"json=" + request.encodedJson;
  if (!zx::BuildRequestFrame(Narrow(L"/" + segment + L"/query"), request.json, request.frame)) {
    request.frame.clear();
  }
  return request;
}

}  // namespace zxbench
