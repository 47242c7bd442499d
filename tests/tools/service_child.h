#pragma once
// zxsample_service.exe as a child of the test: started with a pipe and a
// ready event of its own, waited for until it listens or ends, killed at the
// end. Unlike the shared SampleServiceProcess it reports how the program
// ended, which is what these tests of the program itself check.
#include <windows.h>

#include <string>
#include <vector>

#include "common/win_resources.h"
#include "harness/sample_service_process.h"

namespace zx::test {

inline constexpr DWORD kProcessWaitMs = 30000;

class SampleService {
 public:
  // Runs the service with --pipe, --ready-event and then args.
  explicit SampleService(const std::vector<std::wstring>& args = {});
  // Kills the service if it still runs.
  ~SampleService();
  SampleService(const SampleService&) = delete;
  SampleService& operator=(const SampleService&) = delete;

  // Whether it signalled readiness (rather than exiting or hanging).
  bool Ready() const { return m_ready; }
  const std::wstring& PipeName() const { return m_pipeName; }
  std::wstring PipePath() const { return L"\\\\.\\Pipe\\" + m_pipeName; }
  // Waits for the service to end by itself: its exit code, or STILL_ACTIVE.
  DWORD WaitForExit(DWORD milliseconds = kProcessWaitMs);

 private:
  std::wstring m_pipeName;
  UniqueHandle m_process;
  bool m_ready = false;
};

// Runs the service with exactly args to its end: its exit code, or
// STILL_ACTIVE when it had to be killed.
DWORD RunSampleServiceToEnd(const std::vector<std::wstring>& args);

// Replaces the file's content with bytes.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

}  // namespace zx::test
