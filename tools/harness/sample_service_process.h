#pragma once
// The sample service as a child process of a test, listening until the
// test ends (or kills it to imitate a dying peer).
#include <windows.h>

#include <string>
#include <vector>

#include "common/win_resources.h"

namespace zx::test {

class SampleServiceProcess {
 public:
  // Starts zxsample_service.exe from beside the test program with the given
  // arguments and waits until it listens. Started() tells whether it did.
  explicit SampleServiceProcess(const std::wstring& arguments);
  ~SampleServiceProcess() { Kill(); }
  SampleServiceProcess(const SampleServiceProcess&) = delete;
  SampleServiceProcess& operator=(const SampleServiceProcess&) = delete;

  bool Started() const { return m_started; }
  void Kill();

 private:
  UniqueHandle m_process;
  bool m_started = false;
};

// The request payloads a service logged with --log, oldest first.
std::vector<std::string> ReadRequestLog(const std::wstring& path);

// A fresh file name in the temporary folder, deleted at scope exit.
class TempFile {
 public:
  explicit TempFile(const wchar_t* prefix);
  ~TempFile() { DeleteFileW(m_path.c_str()); }
  const std::wstring& Path() const { return m_path; }

 private:
  std::wstring m_path;
};

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
