// The service library in-process: what a client gets for what it sends,
// the bounds on size and time, a stop with clients still connected, and the
// pipe name in each registry view.
#include "zxservice/server.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "harness/sample_service_process.h"
#include "support/raw_pipe_client.h"
#include "transport/endpoint_config.h"
#include "zxservice/registration.h"

namespace zx::test {
namespace {

using namespace std::string_literals;

// A server on a pipe of its own, run on a thread of its own until the end
// of the scope.
class RunningServer {
 public:
  template <class AnyHandler>
  RunningServer(const zxservice::Limits& limits, AnyHandler handler)
      : m_server(m_pipe, handler, limits) {
    if (m_server.Listen() != ERROR_SUCCESS) return;
    m_thread = std::thread([this] { m_server.Run([this] { SetEvent(m_listening.Get()); }); });
  }
  ~RunningServer() { StopsWithin(INFINITE); }

  bool Listening() const { return WaitForSingleObject(m_listening.Get(), 10000) == WAIT_OBJECT_0; }
  std::wstring Path() const { return kPipePathPrefix + m_pipe; }
  // Whether Run returned within milliseconds of the stop.
  bool StopsWithin(DWORD milliseconds) {
    const ULONGLONG start = GetTickCount64();
    m_server.Stop();
    if (m_thread.joinable()) m_thread.join();
    return GetTickCount64() - start < milliseconds;
  }

 private:
  const std::wstring m_pipe = UniqueName(L"zxservice-test");
  UniqueHandle m_listening{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  zxservice::Server m_server;
  std::thread m_thread;
};

// A refused request is dropped at once, a silent client at the timeout. A
// request without JSON: the sample service's echo.
TEST(ServiceLibrary, AnswersWhatAClientSendsWithinTheBounds) {
  zxservice::Limits limits;
  limits.maxRequestBytes = 64;
  limits.requestTimeoutMs = 1000;
  RunningServer server(limits, zxservice::Handler([](const zxservice::Request& request) {
                         if (request.path == "/svc/throw") throw std::runtime_error("failed");
                         if (request.path == "/svc/empty") return std::string();
                         return std::string(request.path) + "|" + std::string(request.json);
                       }));
  ASSERT_TRUE(server.Listening());
  const std::string atLimit = "/svc/q?json=" + std::string(64 - 12, '7');
  const std::string kError = Frame("{\"error_code\":\"-2147467259\"}");
  const struct Case {
    std::string sent, reply;  // reply: the whole frame; empty: closed without a reply
    bool waitsForTheTimeout;
  } cases[] = {
      {Frame("/svc/q?json=[1]"), Frame("/svc/q|[1]"), false},
      {Frame(atLimit), Frame("/svc/q|" + atLimit.substr(12)), false},
      {Frame("/svc/throw?json=1"), kError, false},
      {Frame("/svc/empty?json=1"), kError, false},
      {Frame(atLimit + "7"), "", false},
      {FrameHeader(0xFFFFFFFFu) + "abc", "", false},
      {"", "", true},
      {FrameHeader(20) + "/svc/q", "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.sent.substr(0, 20)));
    const ULONGLONG start = GetTickCount64();
    const RawReply reply = RawExchange(server.Path(), c.sent);
    const ULONGLONG elapsed = GetTickCount64() - start;
    ASSERT_EQ(reply.connectError, DWORD{ERROR_SUCCESS});
    EXPECT_EQ(reply.bytes, c.reply);
    EXPECT_EQ(reply.endError, DWORD{ERROR_BROKEN_PIPE});
    EXPECT_EQ(elapsed >= limits.requestTimeoutMs, c.waitsForTheTimeout) << elapsed << " ms";
  }
}

// Clients in every stage of a connection: the stop ends them all and Run
// returns long before any of their own time limits.
TEST(ServiceLibrary, StopsWhileClientsAreConnected) {
  UniqueHandle handlerPaused(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  zxservice::Limits limits;
  limits.requestTimeoutMs = 60000;
  RunningServer server(limits, zxservice::RawHandler([&](zxservice::Connection& connection) {
                         std::string payload;
                         if (!connection.ReadRequest(payload)) return false;
                         SetEvent(handlerPaused.Get());
                         return connection.Pause(60000) && connection.Write(payload);
                       }));
  ASSERT_TRUE(server.Listening());
  std::vector<UniqueFile> clients;
  for (const std::string& sent : {""s, FrameHeader(20) + "/svc/q", Frame("/svc/q?json=1")}) {
    DWORD written = 0;
    ASSERT_EQ(RawConnect(server.Path(), clients.emplace_back()), DWORD{ERROR_SUCCESS});
    ASSERT_TRUE(WriteFile(clients.back().Get(), sent.data(), static_cast<DWORD>(sent.size()),
                          &written, nullptr));
  }
  ASSERT_EQ(WaitForSingleObject(handlerPaused.Get(), 10000), WAIT_OBJECT_0);
  EXPECT_TRUE(server.StopsWithin(5000));
  for (const UniqueFile& client : clients) {
    char byte = 0;
    DWORD read = 0;
    EXPECT_FALSE(ReadFile(client.Get(), &byte, 1, &read, nullptr));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_BROKEN_PIPE});
  }
}

// The pipe path registered for "svc" below root in one registry view.
HRESULT ReadRegistered(const std::wstring& root, REGSAM view, std::wstring& pipePath) {
  UniqueRegKey key;
  const LONG opened =
      RegOpenKeyExW(HKEY_LOCAL_MACHINE, (root + L"svc").c_str(), 0, KEY_READ | view, key.Put());
  return opened ? HRESULT_FROM_WIN32(opened) : ReadPipeNameValue(key.Get(), pipePath);
}

// Each registry view holds its own name; the objects' own lookup reads the
// view of their build, which for a 32-bit program is the 32-bit one.
TEST(ServiceLibrary, RegistersAndWithdrawsThePipeNameInEachView) {
  const std::wstring root = L"SOFTWARE\\ZxServiceLibraryTests\\" + UniqueName(L"root") + L"\\";
  for (const REGSAM view : {REGSAM{0}, REGSAM{KEY_WOW64_32KEY}}) {
    ASSERT_EQ(zxservice::RegisterPipeName(L"svc", L"zx-pipe", root, view), ERROR_SUCCESS);
    std::wstring pipePath;
    EXPECT_EQ(ReadRegistered(root, view, pipePath), S_OK);
    EXPECT_EQ(pipePath, L"\\\\.\\Pipe\\zx-pipe");
    EXPECT_EQ(LookupPipeName(root, L"svc", pipePath) == S_OK, view == 0 || sizeof(void*) == 4);
    for (int time = 0; time < 2; ++time) {  // nothing left to delete the second time
      EXPECT_EQ(zxservice::UnregisterPipeName(L"svc", root, view), ERROR_SUCCESS);
    }
    EXPECT_EQ(ReadRegistered(root, view, pipePath), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
  }
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\ZxServiceLibraryTests");
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Wow6432Node\\ZxServiceLibraryTests");
}

}  // namespace
}  // namespace zx::test
