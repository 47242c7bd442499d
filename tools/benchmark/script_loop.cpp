#include "script_loop.h"

#include <cstdlib>

#include "harness/child_process.h"
#include "harness/test_paths.h"

namespace zxbench {
namespace {

constexpr DWORD kScriptPatienceMs = 300000;

}  // namespace

double TimeScriptLoop(ScriptClient client, const std::wstring& url, const std::wstring& encodedJson,
                      long count) {
  const wchar_t* mode = client == ScriptClient::kWinHttp ? L"winhttp" : L"object";
  std::wstring commandLine = L"cscript.exe //nologo \"" +
                             zx::test::BesideProgram(L"timed_loop.js") + L"\" " + mode + L" \"" +
                             url + L"\" " + encodedJson + L" " + std::to_wstring(count);
  std::string output;
  if (zx::test::RunAndCapture(commandLine, output, kScriptPatienceMs) != 0) return -1;
  const size_t at = output.find("ms ");
  if (at == std::string::npos) return -1;
  return std::strtod(output.c_str() + at + 3, nullptr) / count;
}

}  // namespace zxbench
