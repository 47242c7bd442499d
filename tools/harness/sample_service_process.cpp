#include "harness/sample_service_process.h"

#include "common/pipe_names.h"
#include "harness/test_paths.h"

namespace zx::test {

std::wstring UniqueName(const wchar_t* stem) {
  static LONG counter = 0;
  return std::wstring(stem) + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(InterlockedIncrement(&counter));
}

SampleServiceProcess::SampleServiceProcess(const std::wstring& arguments) {
  std::wstring readyName = UniqueName(L"zx-ready");
  UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, readyName.c_str()));
  std::wstring commandLine = L"\"" + BesideProgram(L"zxsample_service.exe") + L"\" " + arguments +
                             L" --ready-event " + readyName;
  STARTUPINFOW startup = {sizeof(startup)};
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return;
  }
  CloseHandle(process.hThread);
  m_process.Reset(process.hProcess);
  HANDLE waits[] = {ready.Get(), m_process.Get()};
  m_started = WaitForMultipleObjects(2, waits, FALSE, 20000) == WAIT_OBJECT_0;
}

void SampleServiceProcess::Kill() {
  if (!m_process) return;
  TerminateProcess(m_process.Get(), 0);
  WaitForSingleObject(m_process.Get(), 10000);
  m_process.Reset();
}

std::vector<std::string> ReadRequestLog(const std::wstring& path) {
  std::vector<std::string> records;
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return records;
  std::string bytes(GetFileSize(file.Get(), nullptr), '\0');
  DWORD read = 0;
  ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
  bytes.resize(read);
  for (size_t at = 0; at + 4 <= bytes.size();) {
    uint32_t length = 0;
    memcpy(&length, &bytes[at], 4);
    records.push_back(bytes.substr(at + 4, length));
    at += 4 + length;
  }
  return records;
}

TempFile::TempFile(const wchar_t* prefix) {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  m_path = std::wstring(folder) + UniqueName(prefix) + L".tmp";
}

RegisteredPipeName::RegisteredPipeName(const std::wstring& segment, const std::wstring& pipeName)
    : m_keyPath(std::wstring(kDefaultSpRootKeyPath) + segment) {
  UniqueRegKey key;
  RegCreateKeyExW(HKEY_LOCAL_MACHINE, m_keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                  key.Put(), nullptr);
  RegSetValueExW(key.Get(), L"Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(pipeName.c_str()),
                 static_cast<DWORD>((pipeName.size() + 1) * sizeof(wchar_t)));
}

RegisteredPipeName::~RegisteredPipeName() { RegDeleteKeyW(HKEY_LOCAL_MACHINE, m_keyPath.c_str()); }

}  // namespace zx::test
