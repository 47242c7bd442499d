// The sample service's entry in the registry, where the module looks up
// pipe names.
#include <gtest/gtest.h>

#include "common/win_resources.h"
#include "support/raw_pipe_client.h"
#include "service_child.h"
#include "transport/endpoint_config.h"

namespace zx::test {
namespace {

bool KeyExists(const std::wstring& path) {
  UniqueRegKey key;
  return RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

class SampleServiceRegistration : public ::testing::Test {
 protected:
  void TearDown() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, m_root.c_str()); }

  // A root of this test's own, given without its trailing backslash.
  const std::wstring m_root = L"SOFTWARE\\ZxSampleServiceTests\\" + UniqueName(L"root");
};

TEST_F(SampleServiceRegistration, PublishesThePipeNameAsNameBelowTheSpRoot) {
  SampleService service({L"--segment", L"svc", L"--sp-root", m_root});
  ASSERT_TRUE(service.Ready());
  UniqueRegKey key;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, (m_root + L"\\svc").c_str(), 0, KEY_READ, key.Put()),
            ERROR_SUCCESS);
  wchar_t name[256] = {};
  DWORD type = 0;
  DWORD bytes = sizeof name - sizeof(wchar_t);
  ASSERT_EQ(RegQueryValueExW(key.Get(), L"Name", nullptr, &type, reinterpret_cast<BYTE*>(name),
                             &bytes),
            ERROR_SUCCESS);
  EXPECT_EQ(type, DWORD{REG_SZ});
  EXPECT_EQ(std::wstring(name), service.PipeName());

  // The module's own lookup reaches the service through it.
  std::wstring pipePath;
  ASSERT_EQ(LookupPipeName(m_root + L"\\", L"svc", pipePath), S_OK);
  EXPECT_EQ(pipePath, service.PipePath());
  EXPECT_EQ(RawExchange(pipePath, Frame("/svc?json=1")).bytes,
            Frame("{\"path\":\"/svc\",\"json\":1}"));
}

TEST_F(SampleServiceRegistration, UsesTheDefaultSpRootWithoutOne) {
  std::wstring segment = UniqueName(L"ZxSampleTest");
  std::wstring key = std::wstring(kDefaultSpRootKeyPath) + segment;
  {
    SampleService service({L"--segment", segment});
    ASSERT_TRUE(service.Ready());
    std::wstring pipePath;
    EXPECT_EQ(LookupPipeName(kDefaultSpRootKeyPath, segment, pipePath), S_OK);
    EXPECT_EQ(pipePath, service.PipePath());
  }
  EXPECT_EQ(RunSampleServiceToEnd({L"--unregister", L"--segment", segment}), 0u);
  EXPECT_FALSE(KeyExists(key));
}

TEST_F(SampleServiceRegistration, UnregisterDeletesTheSegmentKeyOnly) {
  {
    SampleService service({L"--segment", L"svc", L"--sp-root", m_root});
    ASSERT_TRUE(service.Ready());
  }
  ASSERT_TRUE(KeyExists(m_root + L"\\svc"));
  const std::vector<std::wstring> unregister = {L"--unregister", L"--segment", L"svc",
                                                L"--sp-root", m_root};
  EXPECT_EQ(RunSampleServiceToEnd(unregister), 0u);
  EXPECT_FALSE(KeyExists(m_root + L"\\svc"));
  EXPECT_TRUE(KeyExists(m_root));
  // Nothing left to delete is no failure.
  EXPECT_EQ(RunSampleServiceToEnd(unregister), 0u);
}

TEST_F(SampleServiceRegistration, WithdrawsTheNameAtAStopOnlyWhenAsked) {
  for (bool withdraw : {false, true}) {
    std::wstring segment = withdraw ? L"withdrawn" : L"kept";
    std::wstring stopName = UniqueName(L"zxsample-test-stop");
    UniqueHandle stop(CreateEventW(nullptr, TRUE, FALSE, stopName.c_str()));
    std::vector<std::wstring> options = {L"--segment", segment, L"--sp-root", m_root,
                                         L"--stop-event", stopName};
    if (withdraw) options.push_back(L"--unregister-at-exit");
    SampleService service(options);
    ASSERT_TRUE(service.Ready());
    SetEvent(stop.Get());
    EXPECT_EQ(service.WaitForExit(), 0u);
    EXPECT_EQ(KeyExists(m_root + L"\\" + segment), !withdraw) << withdraw;
  }
}

}  // namespace
}  // namespace zx::test
