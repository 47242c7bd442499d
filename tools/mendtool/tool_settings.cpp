#include "tool_settings.h"

#include <windows.h>

namespace mendtool {
namespace {

constexpr wchar_t kSection[] = L"mendtool";
constexpr wchar_t kMonitoredService[] = L"Velmora Online Scan Service";

std::wstring SettingsPath() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return path.substr(0, path.find_last_of(L'\\') + 1) + L"mendtool.ini";
}

std::wstring ReadSetting(const std::wstring& file, const wchar_t* key, const wchar_t* fallback) {
  std::wstring value(32768, L'\0');
  value.resize(GetPrivateProfileStringW(kSection, key, fallback, value.data(),
                                        static_cast<DWORD>(value.size()), file.c_str()));
  return value;
}

}  // namespace

ToolSettings ReadToolSettings() {
  std::wstring file = SettingsPath();
  ToolSettings settings;
  settings.logPath = ReadSetting(file, L"log", L"");
  settings.startService = ReadSetting(file, L"mode", L"start") != L"none";
  settings.serviceName = ReadSetting(file, L"service", kMonitoredService);
  return settings;
}

}  // namespace mendtool
