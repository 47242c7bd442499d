#pragma once
// The sample service as a child process of a test or the benchmark,
// listening until it goes out of scope (or is killed to imitate a dying
// peer), and the registry and files that go with it.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "common/win_resources.h"

namespace zx::test {

class SampleServiceProcess {
 public:
  // Starts zxsample_service.exe from beside the running program with the
  // given arguments and waits until it listens or ends. Started() tells
  // whether it listens.
  explicit SampleServiceProcess(const std::wstring& arguments);
  ~SampleServiceProcess() { Kill(); }
  SampleServiceProcess(const SampleServiceProcess&) = delete;
  SampleServiceProcess& operator=(const SampleServiceProcess&) = delete;

  bool Started() const { return m_started; }
  // Waits for the service to end by itself: its exit code, or STILL_ACTIVE.
  DWORD WaitForExit(DWORD timeoutMs);
  void Kill();

 private:
  UniqueHandle m_process;
  bool m_started = false;
};

// A fresh file name in the temporary folder, deleted at scope exit.
class TempFile {
 public:
  explicit TempFile(const wchar_t* prefix);
  ~TempFile() { DeleteFileW(m_path.c_str()); }
  const std::wstring& Path() const { return m_path; }

 private:
  std::wstring m_path;
};

// The sample service registered under a segment of its own, which is also
// its pipe's name, logging every request; killed and unregistered at scope
// exit.
class ServiceOnSegment {
 public:
  // options: the reply mode and the like (zxsample_service.exe --help).
  explicit ServiceOnSegment(const std::wstring& options = L"", const wchar_t* stem = L"zxsvc");
  ~ServiceOnSegment();
  ServiceOnSegment(const ServiceOnSegment&) = delete;
  ServiceOnSegment& operator=(const ServiceOnSegment&) = delete;

  bool Started() const { return m_process && m_process->Started(); }
  // Kills the running service and starts one with these options on the same
  // segment and log; true when it listens.
  bool Restart(const std::wstring& options);
  void Kill() { m_process.reset(); }

  const std::wstring& Segment() const { return m_segment; }
  // "http://localhost/zev-cgi-bin/<segment><rest>"
  std::wstring Url(const std::wstring& rest = L"/query") const;
  // The echo reply to json sent to Url(rest).
  std::wstring EchoOf(const std::wstring& json, const std::wstring& rest = L"/query") const;
  // The request payloads logged so far, oldest first.
  std::vector<std::string> Logged() const;

 private:
  const std::wstring m_segment;
  TempFile m_log;
  std::unique_ptr<SampleServiceProcess> m_process;
};

// The request payloads a service logged with --log, oldest first.
std::vector<std::string> ReadRequestLog(const std::wstring& path);

// A service's pipe name registered below the default SP root, removed at
// scope exit: for a service that is registered but not listening.
class RegisteredPipeName {
 public:
  RegisteredPipeName(const std::wstring& segment, const std::wstring& pipeName);
  ~RegisteredPipeName();

 private:
  std::wstring m_keyPath;
};

// A name no other test of this run uses, for segments, pipes and events.
std::wstring UniqueName(const wchar_t* stem);

}  // namespace zx::test
