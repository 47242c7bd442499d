#include "harness/child_process.h"

namespace zx::test {
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

UniqueHandle StartProgram(std::wstring commandLine, HANDLE output) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  if (output) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = output;
  }
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, output != nullptr,
                      output ? CREATE_NO_WINDOW : 0, nullptr, nullptr, &startup, &started)) {
    return UniqueHandle();
  }
  CloseHandle(started.hThread);
  return UniqueHandle(started.hProcess);
}

DWORD WaitForExit(HANDLE process, DWORD timeoutMs) {
  DWORD exitCode = STILL_ACTIVE;
  if (WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process, &exitCode);
  }
  return exitCode;
}

long RunAndCapture(std::wstring commandLine, std::string& output, DWORD timeoutMs) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  UniqueHandle readEnd, writeEnd;
  if (!CreatePipe(readEnd.Put(), writeEnd.Put(), &inherit, 1 << 16)) return -1;
  SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
  UniqueHandle process = StartProgram(std::move(commandLine), writeEnd.Get());
  if (!process) return -1;
  writeEnd.Reset();
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

}  // namespace zx::test
