// isNeedFixConnection and fixConnection of the real module against the
// sample service installed under the monitored name, with the stand-in
// repair tool (mendtool.exe) installed where the module looks for it. The
// program runs again in a prefix that reports Windows XP (built with
// ZX_BEFORE_VISTA), where the tool is started without the shell.
#include <windows.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "common/pipe_names.h"
#include "harness/message_pump.h"
#include "harness/sample_service_process.h"
#include "harness/test_paths.h"
#include "harness/zxmlhttp_module.h"
#include "health/connection_repair.h"
#include "health/repair_tool.h"
#include "health/service_health.h"
#include "res/zxmlhttp_idl.h"
#include "support/raw_pipe_client.h"

namespace zx::test {
namespace {

// Each program's tests have names of their own.
#ifdef ZX_BEFORE_VISTA
#define ZX_HEALTH_SUITE ServiceHealthBeforeVista
constexpr VARIANT_BOOL kAfterVista = 0;
constexpr char kShown[] = "-";  // no show command asked for
#else
#define ZX_HEALTH_SUITE ServiceHealth
constexpr VARIANT_BOOL kAfterVista = 1;
constexpr char kShown[] = "0";  // SW_HIDE
#endif
constexpr long kNotRunning = static_cast<long>(0xE00D000F), kNotInstalled = 1060;
const std::wstring kService = L"\"Velmora Online Scan Service\"";
const std::wstring kPipe = UniqueName(L"zx-health");

UniqueServiceHandle OpenMonitoredService(DWORD access) {
  UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  return UniqueServiceHandle(OpenServiceW(manager.Get(), L"Velmora Online Scan Service", access));
}

// SERVICE_RUNNING, ...; 0 when it is not installed.
DWORD ServiceState() {
  SERVICE_STATUS status = {};
  return QueryServiceStatus(OpenMonitoredService(SERVICE_QUERY_STATUS).Get(), &status)
             ? status.dwCurrentState
             : 0;
}

// The sample service for one action that ends by itself (never ready).
void RunSampleService(const std::wstring& arguments) { SampleServiceProcess ended(arguments); }

// "<Program Files>\Velmora\netprobe\mendtool.exe", spelled out apart from
// the module.
std::wstring ToolPath() {
  wchar_t programFiles[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles);
  return std::wstring(programFiles) + L"\\Velmora\\netprobe\\mendtool.exe";
}

// The monitored service installed with options (nullptr: not installed),
// and the tool in mode "start" or "none", which logs each of its runs as
// "<show command> <command line>".
class Stage {
 public:
  Stage(const wchar_t* serviceOptions, const wchar_t* toolMode) {
    RunSampleService(L"--uninstall " + kService);
    if (serviceOptions) {
      RunSampleService(L"--install " + kService + L" --pipe " + kPipe + L" " + serviceOptions);
    }
    const std::wstring tool = ToolPath();
    SHCreateDirectoryExW(nullptr, tool.substr(0, tool.rfind(L'\\')).c_str(), nullptr);
    // A run of the last stage's tool may still hold the file.
    EXPECT_TRUE(PollUntil([&] {
      return CopyFileW(BesideProgram(L"mendtool.exe").c_str(), tool.c_str(), FALSE) != FALSE;
    }));
    WritePrivateProfileStringW(L"mendtool", L"log", m_log.Path().c_str(), Settings().c_str());
    WritePrivateProfileStringW(L"mendtool", L"mode", toolMode, Settings().c_str());
  }
  ~Stage() {
    RunSampleService(L"--uninstall " + kService);
    DeleteFileW(Settings().c_str());
    DeleteFileW(ToolPath().c_str());
  }
  std::string Runs() const {
    std::ifstream log(m_log.Path().c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(log), {});
  }

 private:
  static std::wstring Settings() { return ToolPath().substr(0, ToolPath().size() - 3) + L"ini"; }
  TempFile m_log{L"zx-mendtool"};
};

// The real manager, without the pauses between its looks.
class UnpausedScm final : public ServiceStatusSource {
 public:
  Result OpenManager() override { return m_scm.OpenManager(); }
  Result OpenServiceForQuery(const std::u16string& name) override {
    return m_scm.OpenServiceForQuery(name);
  }
  Result QueryRunning(std::size_t index, bool& running) override {
    return m_scm.QueryRunning(index, running);
  }
  void CloseAll() override { m_scm.CloseAll(); }
  void Pause(std::uint32_t) override {}

 private:
  ScmStatusSource m_scm;
};

class ZX_HEALTH_SUITE : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    ASSERT_EQ(module.Create(CLSID_ZevXMLHttpRequest, IID_PPV_ARGS(&request)), S_OK);
  }
  void TearDown() override {
    request.Reset();
    CoUninitialize();
  }
  bool NeedsFix() {
    VARIANT_BOOL needFix = -2;
    EXPECT_EQ(request->get_isNeedFixConnection(&needFix), S_OK);
    EXPECT_TRUE(needFix == 0 || needFix == 1) << needFix;
    return needFix == 1;
  }

  ZxmlhttpModule module;
  Microsoft::WRL::ComPtr<IZevXMLHttpRequest> request;
};

TEST_F(ZX_HEALTH_SUITE, ReportsTheSystemAndRefusesNullPointers) {
  VARIANT_BOOL afterVista = -2;
  EXPECT_EQ(request->get_isOSVersionAfterVista(&afterVista), S_OK);
  EXPECT_EQ(afterVista, kAfterVista) << "the XP program runs in the prefix wine-run makes for it";
  EXPECT_EQ(request->get_isNeedFixConnection(nullptr), E_INVALIDARG);
  EXPECT_EQ(request->get_fixConnection(nullptr), E_INVALIDARG);
}

// Each row: how the service is set up, the state a page finds, what the fix
// answers, how often it started the tool (hidden, with its argument) and
// the state it leaves. A service is down until it runs. The ten seconds
// the fix waits for one that stays down pass without their pauses.
TEST_F(ZX_HEALTH_SUITE, EachStateOfTheServiceHasItsAnswerAndRepair) {
  const struct Case {
    const char* what;
    const wchar_t *serviceOptions, *toolMode;
    bool startedFirst;
    DWORD stateBefore;
    long fixCode;
    int toolRuns;
    DWORD stateAfter;
  } cases[] = {
      {"running", L"", L"start", true, SERVICE_RUNNING, 0, 0, SERVICE_RUNNING},
      {"started by the tool", L"", L"start", false, SERVICE_STOPPED, 0, 1, SERVICE_RUNNING},
      {"staying down", L"", L"none", false, SERVICE_STOPPED, kNotRunning, 1, SERVICE_STOPPED},
      {"leaving start-pending by itself", L"--start-pending 2000", L"none", true,
       SERVICE_START_PENDING, 0, 1, SERVICE_RUNNING},
      {"not installed", nullptr, L"none", false, 0, kNotInstalled, 0, 0},
  };
  const std::wstring tool = ToolPath();
  const std::string run =
      kShown + std::string(" \"") + std::string(tool.begin(), tool.end()) + "\" /fixprobesvc\r\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Stage stage(c.serviceOptions, c.toolMode);
    if (c.startedFirst) {
      ASSERT_TRUE(StartServiceW(OpenMonitoredService(SERVICE_START).Get(), 0, nullptr));
    }
    PollUntil([&] { return ServiceState() == c.stateBefore; });
    ASSERT_EQ(ServiceState(), c.stateBefore);
    EXPECT_EQ(NeedsFix(), c.stateBefore != SERVICE_RUNNING);
    long code = -1;
    if (c.fixCode == kNotRunning) {
      UnpausedScm scm;
      code = FixConnection(scm, BuildMonitoredServices(), [] { LaunchRepairTool(); });
    } else {
      EXPECT_EQ(request->get_fixConnection(&code), S_OK);
    }
    EXPECT_EQ(code, c.fixCode);
    std::string runs;
    for (int i = 0; i < c.toolRuns; ++i) runs += run;
    PollUntil([&] { return stage.Runs().size() >= runs.size(); });
    EXPECT_EQ(stage.Runs(), runs);
    EXPECT_EQ(ServiceState(), c.stateAfter);
    EXPECT_EQ(NeedsFix(), c.stateAfter != SERVICE_RUNNING);
    if (c.stateAfter == SERVICE_RUNNING) {
      EXPECT_EQ(RawExchange(kPipePathPrefix + kPipe, Frame("/svc?json=[]")).bytes,
                Frame("{\"path\":\"/svc\",\"json\":[]}"));
    }
  }
}

}  // namespace
}  // namespace zx::test
