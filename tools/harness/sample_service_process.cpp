#include "harness/sample_service_process.h"

#include <cstring>

#include "common/pipe_names.h"
#include "harness/child_process.h"
#include "harness/test_paths.h"

namespace zx::test {

constexpr DWORD kStartPatienceMs = 20000;

std::wstring UniqueName(const wchar_t* stem) {
  static LONG counter = 0;
  return std::wstring(stem) + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(InterlockedIncrement(&counter));
}

SampleServiceProcess::SampleServiceProcess(const std::wstring& arguments) {
  const std::wstring readyName = UniqueName(L"zx-ready");
  UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, readyName.c_str()));
  m_process = StartProgram(L"\"" + BesideProgram(L"zxsample_service.exe") + L"\" " + arguments +
                           L" --ready-event " + readyName);
  if (!m_process) return;
  HANDLE waits[] = {ready.Get(), m_process.Get()};
  m_started = WaitForMultipleObjects(2, waits, FALSE, kStartPatienceMs) == WAIT_OBJECT_0;
}

DWORD SampleServiceProcess::WaitForExit(DWORD timeoutMs) {
  return m_process ? zx::test::WaitForExit(m_process.Get(), timeoutMs) : STILL_ACTIVE;
}

void SampleServiceProcess::Kill() {
  if (!m_process) return;
  TerminateProcess(m_process.Get(), 0);
  WaitForSingleObject(m_process.Get(), 10000);
  m_process.Reset();
}

TempFile::TempFile(const wchar_t* prefix) {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  m_path = std::wstring(folder) + UniqueName(prefix) + L".tmp";
}

ServiceOnSegment::ServiceOnSegment(const std::wstring& options, const wchar_t* stem)
    : m_segment(UniqueName(stem)), m_log(L"zxlog") {
  Restart(options);
}

ServiceOnSegment::~ServiceOnSegment() {
  Kill();
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, (kDefaultSpRootKeyPath + m_segment).c_str());
}

bool ServiceOnSegment::Restart(const std::wstring& options) {
  Kill();
  m_process =
      std::make_unique<SampleServiceProcess>(L"--segment " + m_segment + L" --pipe " + m_segment +
                                             L" --log \"" + m_log.Path() + L"\" " + options);
  return m_process->Started();
}

std::wstring ServiceOnSegment::Url(const std::wstring& rest) const {
  return L"http://localhost/zev-cgi-bin/" + m_segment + rest;
}

std::wstring ServiceOnSegment::EchoOf(const std::wstring& json, const std::wstring& rest) const {
  return L"{\"path\":\"/" + m_segment + rest + L"\",\"json\":" + json + L"}";
}

std::vector<std::string> ServiceOnSegment::Logged() const { return ReadRequestLog(m_log.Path()); }

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
    std::memcpy(&length, &bytes[at], 4);
    records.push_back(bytes.substr(at + 4, length));
    at += 4 + length;
  }
  return records;
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
