// The sample service installed and run by the Service Control Manager.
#include <gtest/gtest.h>

#include "common/win_resources.h"
#include "support/raw_pipe_client.h"
#include "service_child.h"

namespace zx::test {
namespace {

constexpr DWORD kPollMs = 50;

// Installs the service for one test and uninstalls it afterwards.
class InstalledSampleService {
 public:
  explicit InstalledSampleService(std::vector<std::wstring> options)
      : m_name(UniqueName(L"ZxSample Test Service")), m_pipeName(UniqueName(L"zxsample-svc")) {
    options.insert(options.begin(), {L"--install", m_name, L"--pipe", m_pipeName});
    m_installed = RunSampleServiceToEnd(options) == 0;
    m_manager.Reset(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (m_manager) {
      m_service.Reset(OpenServiceW(m_manager.Get(), m_name.c_str(),
                                   SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS));
    }
  }
  ~InstalledSampleService() { RunSampleServiceToEnd({L"--uninstall", m_name}); }

  bool Installed() const { return m_installed && m_service; }
  SC_HANDLE Handle() const { return m_service.Get(); }
  const std::wstring& Name() const { return m_name; }
  std::wstring PipePath() const { return L"\\\\.\\Pipe\\" + m_pipeName; }

  DWORD State() const {
    SERVICE_STATUS status{};
    return QueryServiceStatus(m_service.Get(), &status) ? status.dwCurrentState : 0;
  }
  // Polls until the service is in state; false when it never got there.
  bool Reaches(DWORD state) const {
    for (DWORD waited = 0; waited < kProcessWaitMs; waited += kPollMs) {
      if (State() == state) return true;
      Sleep(kPollMs);
    }
    return false;
  }

 private:
  std::wstring m_name;
  std::wstring m_pipeName;
  bool m_installed = false;
  UniqueServiceHandle m_manager;
  UniqueServiceHandle m_service;
};

bool ServiceExists(const std::wstring& name) {
  UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  UniqueServiceHandle service(OpenServiceW(manager.Get(), name.c_str(), SERVICE_QUERY_STATUS));
  return static_cast<bool>(service);
}

TEST(SampleServiceAsService, RunsUnderTheServiceControlManagerUntilStopped) {
  std::wstring name;
  {
    InstalledSampleService service({});
    ASSERT_TRUE(service.Installed());
    name = service.Name();
    ASSERT_TRUE(StartServiceW(service.Handle(), 0, nullptr)) << GetLastError();
    ASSERT_TRUE(service.Reaches(SERVICE_RUNNING));
    EXPECT_EQ(RawExchange(service.PipePath(), Frame("/svc?json=[]")).bytes,
              Frame("{\"path\":\"/svc\",\"json\":[]}"));
    SERVICE_STATUS status{};
    EXPECT_TRUE(ControlService(service.Handle(), SERVICE_CONTROL_STOP, &status));
    EXPECT_TRUE(service.Reaches(SERVICE_STOPPED));
  }
  EXPECT_FALSE(ServiceExists(name));
}

TEST(SampleServiceAsService, StopsItselfAtItsLimit) {
  InstalledSampleService service({L"--max-requests", L"1"});
  ASSERT_TRUE(service.Installed());
  ASSERT_TRUE(StartServiceW(service.Handle(), 0, nullptr)) << GetLastError();
  ASSERT_TRUE(service.Reaches(SERVICE_RUNNING));
  EXPECT_EQ(RawExchange(service.PipePath(), Frame("/svc?json=1")).connectError,
            DWORD{ERROR_SUCCESS});
  EXPECT_TRUE(service.Reaches(SERVICE_STOPPED));
}

TEST(SampleServiceAsService, StaysStartPendingWithoutAPipeUntilStopped) {
  std::wstring stopName = UniqueName(L"zxsample-test-stop");
  UniqueHandle stop(CreateEventW(nullptr, TRUE, FALSE, stopName.c_str()));
  InstalledSampleService service({L"--start-pending", L"forever", L"--stop-event", stopName});
  ASSERT_TRUE(service.Installed());
  ASSERT_TRUE(StartServiceW(service.Handle(), 0, nullptr)) << GetLastError();
  EXPECT_EQ(service.State(), DWORD{SERVICE_START_PENDING});
  EXPECT_EQ(RawExchange(service.PipePath(), Frame("/svc?json=1")).connectError,
            DWORD{ERROR_FILE_NOT_FOUND});
  SetEvent(stop.Get());
  EXPECT_TRUE(service.Reaches(SERVICE_STOPPED));
}

}  // namespace
}  // namespace zx::test
