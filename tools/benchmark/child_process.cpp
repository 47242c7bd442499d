#include "child_process.h"

#include "common/win_resources.h"

namespace zxbench {
namespace {

void DrainAvailable(HANDLE pipe, std::string& output) {
  DWORD available = 0;
  while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available != 0) {
    std::string piece(available, '\0');
    DWORD read = 0;
    if (!ReadFile(pipe, &piece[0], available, &read, nullptr)) return;
    output.append(piece, 0, read);
  }
}

}  // namespace

long RunAndCapture(std::wstring commandLine, std::string& output, DWORD timeoutMs) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  zx::UniqueHandle readEnd, writeEnd;
  if (!CreatePipe(readEnd.Put(), writeEnd.Put(), &inherit, 1 << 16)) return -1;
  SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = writeEnd.Get();
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &startup, &started)) {
    return -1;
  }
  writeEnd.Reset();
  zx::UniqueHandle process(started.hProcess), thread(started.hThread);
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (WaitForSingleObject(process.Get(), 20) == WAIT_TIMEOUT) {
    DrainAvailable(readEnd.Get(), output);
    if (GetTickCount64() > deadline) {
      TerminateProcess(process.Get(), 1);
      WaitForSingleObject(process.Get(), 5000);
      return -1;
    }
  }
  DrainAvailable(readEnd.Get(), output);
  DWORD exitCode = 0;
  GetExitCodeProcess(process.Get(), &exitCode);
  return static_cast<long>(exitCode);
}

std::wstring ProgramPath() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

}  // namespace zxbench
