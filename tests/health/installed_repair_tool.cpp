#include "installed_repair_tool.h"

#include <shlobj.h>

#include "common/win_resources.h"
#include "harness/test_paths.h"

namespace zx::test {
namespace {

constexpr DWORD kCopyAttempts = 50;
constexpr DWORD kCopyRetryMs = 100;

std::wstring Folder() {
  wchar_t programFiles[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles);
  return std::wstring(programFiles) + L"\\Velmora\\netprobe";
}

std::wstring SettingsPath() { return Folder() + L"\\mendtool.ini"; }

bool CreateFolder() {
  int error = SHCreateDirectoryExW(nullptr, Folder().c_str(), nullptr);
  return error == ERROR_SUCCESS || error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
}

// A run of the tool that has not ended yet keeps its file busy.
bool CopyTool() {
  for (DWORD attempt = 0; attempt < kCopyAttempts; ++attempt) {
    if (CopyFileW(BesideProgram(L"mendtool.exe").c_str(), InstalledRepairTool::Path().c_str(),
                  FALSE)) {
      return true;
    }
    Sleep(kCopyRetryMs);
  }
  return false;
}

std::string ReadAll(const std::wstring& path) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (file && ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
    bytes.append(buffer, read);
  }
  return bytes;
}

}  // namespace

std::wstring InstalledRepairTool::Path() { return Folder() + L"\\mendtool.exe"; }

std::string InstalledRepairTool::ExpectedCommandLine() {
  std::wstring line = L"\"" + Path() + L"\" /fixprobesvc";
  int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, bytes.data(), size, nullptr, nullptr);
  bytes.pop_back();  // the terminator
  return bytes;
}

InstalledRepairTool::InstalledRepairTool(ToolMode mode) {
  std::wstring settings = SettingsPath();
  m_installed =
      CreateFolder() && CopyTool() &&
      WritePrivateProfileStringW(L"mendtool", L"log", m_log.Path().c_str(), settings.c_str()) &&
      WritePrivateProfileStringW(L"mendtool", L"mode",
                                 mode == ToolMode::kStartService ? L"start" : L"none",
                                 settings.c_str());
}

// The tool itself goes too, unless a run of it still holds the file.
InstalledRepairTool::~InstalledRepairTool() {
  DeleteFileW(SettingsPath().c_str());
  DeleteFileW(Path().c_str());
}

std::vector<ToolRun> InstalledRepairTool::Runs() const {
  std::vector<ToolRun> runs;
  std::string text = ReadAll(m_log.Path());
  for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
       start = end + 2) {
    std::string line = text.substr(start, end - start);
    std::size_t space = line.find(' ');
    runs.push_back({line.substr(0, space), line.substr(space + 1)});
  }
  return runs;
}

}  // namespace zx::test
