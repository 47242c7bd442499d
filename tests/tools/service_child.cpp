#include "service_child.h"

#include "argument_quoting.h"
#include "harness/test_paths.h"

namespace zx::test {
namespace {

UniqueHandle StartProcess(const std::vector<std::wstring>& args) {
  std::vector<std::wstring> commandLine = {BesideProgram(L"zxsample_service.exe")};
  commandLine.insert(commandLine.end(), args.begin(), args.end());
  std::wstring line = zxsample::JoinCommandLine(commandLine);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(commandLine[0].c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    return {};
  }
  CloseHandle(process.hThread);
  return UniqueHandle(process.hProcess);
}

DWORD AwaitExit(HANDLE process, DWORD milliseconds) {
  DWORD exitCode = STILL_ACTIVE;
  if (WaitForSingleObject(process, milliseconds) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process, &exitCode);
  }
  return exitCode;
}

}  // namespace

SampleService::SampleService(const std::vector<std::wstring>& args)
    : m_pipeName(UniqueName(L"zxsample-test")) {
  std::wstring readyName = UniqueName(L"zxsample-test-ready");
  UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, readyName.c_str()));
  std::vector<std::wstring> all = {L"--pipe", m_pipeName, L"--ready-event", readyName};
  all.insert(all.end(), args.begin(), args.end());
  m_process = StartProcess(all);
  if (!ready || !m_process) return;
  HANDLE waits[] = {ready.Get(), m_process.Get()};
  m_ready = WaitForMultipleObjects(2, waits, FALSE, kProcessWaitMs) == WAIT_OBJECT_0;
}

SampleService::~SampleService() {
  if (m_process && WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT) {
    TerminateProcess(m_process.Get(), 1);
    WaitForSingleObject(m_process.Get(), kProcessWaitMs);
  }
}

DWORD SampleService::WaitForExit(DWORD milliseconds) {
  return m_process ? AwaitExit(m_process.Get(), milliseconds) : STILL_ACTIVE;
}

DWORD RunSampleServiceToEnd(const std::vector<std::wstring>& args) {
  UniqueHandle process = StartProcess(args);
  if (!process) return STILL_ACTIVE;
  DWORD exitCode = AwaitExit(process.Get(), kProcessWaitMs);
  if (exitCode == STILL_ACTIVE) TerminateProcess(process.Get(), 1);
  return exitCode;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file && WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                           nullptr) &&
         written == bytes.size();
}

}  // namespace zx::test
