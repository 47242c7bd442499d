#include "run_record.h"

#include <windows.h>

#include "common/win_resources.h"

namespace mendtool {
namespace {

std::wstring ShowCommand() {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  GetStartupInfoW(&startup);
  if (!(startup.dwFlags & STARTF_USESHOWWINDOW)) return L"-";
  return std::to_wstring(startup.wShowWindow);
}

std::string Utf8(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  return bytes;
}

}  // namespace

// One write per line, so runs that overlap never interleave their lines.
bool AppendRunRecord(const std::wstring& logPath) {
  std::string line = Utf8(ShowCommand() + L" " + GetCommandLineW()) + "\r\n";
  zx::UniqueFile file(CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file && WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written,
                           nullptr) &&
         written == line.size();
}

}  // namespace mendtool
