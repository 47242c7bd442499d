// isNeedFixConnection and fixConnection of the real module against the
// sample service installed as the monitored one and the stand-in repair
// tool (mendtool.exe) where the module looks for it; again in a prefix that
// reports Windows XP (ZX_BEFORE_VISTA), where the tool starts without the
// shell. The rules behind the answers: health_rules_test.cpp.
#include <windows.h>
// The shell's headers need <windows.h> first.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <fstream>
#include <iterator>

#include "harness/message_pump.h"
#include "harness/sample_service_process.h"
#include "harness/test_paths.h"
#include "harness/zxmlhttp_module.h"
#include "res/zxmlhttp_idl.h"

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
    SHCreateDirectoryExW(nullptr, m_tool.substr(0, m_tool.rfind(L'\\')).c_str(), nullptr);
    // A run of the last stage's tool may still hold the file.
    EXPECT_TRUE(PollUntil([&] {
      return CopyFileW(BesideProgram(L"mendtool.exe").c_str(), m_tool.c_str(), FALSE) != FALSE;
    }));
    WritePrivateProfileStringW(L"mendtool", L"log", m_log.Path().c_str(), m_settings.c_str());
    WritePrivateProfileStringW(L"mendtool", L"mode", toolMode, m_settings.c_str());
  }
  ~Stage() {
    RunSampleService(L"--uninstall " + kService);
    DeleteFileW(m_settings.c_str());
    DeleteFileW(m_tool.c_str());
  }
  std::string Runs() const {
    std::ifstream log(m_log.Path().c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(log), {});
  }

 private:
  const std::wstring m_tool = ToolPath();
  const std::wstring m_settings = m_tool.substr(0, m_tool.size() - 3) + L"ini";
  TempFile m_log{L"zx-mendtool"};
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

// Each row: how the service is set up, the state a page finds, what the fix
// answers and the state it leaves. A service that is down, installed or
// not, has the tool started once (hidden, with its argument) before the wait.
TEST_F(ZX_HEALTH_SUITE, EachStateOfTheServiceHasItsAnswerAndRepair) {
  VARIANT_BOOL afterVista = -2;
  EXPECT_EQ(request->get_isOSVersionAfterVista(&afterVista), S_OK);
  EXPECT_EQ(afterVista, kAfterVista) << "the XP program runs in the prefix wine-run makes for it";
  EXPECT_EQ(request->get_isNeedFixConnection(nullptr), E_INVALIDARG);
  EXPECT_EQ(request->get_fixConnection(nullptr), E_INVALIDARG);
  const struct Case {
    const char* what;
    const wchar_t *serviceOptions, *toolMode;
    DWORD stateBefore;
    long fixCode;
    DWORD stateAfter;
  } cases[] = {
      {"started by the tool", L"", L"start", SERVICE_STOPPED, 0, SERVICE_RUNNING},
      {"leaving start-pending by itself", L"--start-pending 2000", L"none", SERVICE_START_PENDING,
       0, SERVICE_RUNNING},
      {"not installed", nullptr, L"none", 0, 1060, 0},  // ERROR_SERVICE_DOES_NOT_EXIST
  };
  const std::wstring tool = ToolPath();
  const std::string run =
      kShown + std::string(" \"") + std::string(tool.begin(), tool.end()) + "\" /fixprobesvc\r\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Stage stage(c.serviceOptions, c.toolMode);
    if (c.stateBefore == SERVICE_START_PENDING) {
      ASSERT_TRUE(StartServiceW(OpenMonitoredService(SERVICE_START).Get(), 0, nullptr));
    }
    ASSERT_TRUE(PollUntil([&] { return ServiceState() == c.stateBefore; }));
    EXPECT_TRUE(NeedsFix());
    long code = -1;
    EXPECT_EQ(request->get_fixConnection(&code), S_OK);
    EXPECT_EQ(code, c.fixCode);
    EXPECT_TRUE(PollUntil([&] { return stage.Runs() == run; })) << stage.Runs();
    EXPECT_EQ(ServiceState(), c.stateAfter);
    EXPECT_EQ(NeedsFix(), c.stateAfter != SERVICE_RUNNING);
  }
}

}  // namespace
}  // namespace zx::test
