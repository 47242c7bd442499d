// The service library in-process: what a client gets for what it sends,
// the bounds on size and time, a stop with clients still connected, and the
// pipe-name registration.
#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "harness/sample_service_process.h"
#include "support/raw_pipe_client.h"
#include "transport/endpoint_config.h"
#include "zxservice/registration.h"
#include "zxservice/server.h"

namespace zx::test {
namespace {

using namespace std::string_literals;

constexpr DWORD kReadyWaitMs = 10000;
constexpr DWORD kStopWaitMs = 5000;

// "<path>|<json>", and the failures a handler can have, by path.
std::string TestHandler(const zxservice::Request& request) {
  if (request.path == "/svc/throw") throw std::runtime_error("handler failed");
  if (request.path == "/svc/empty") return {};
  return std::string(request.path) + "|" + std::string(request.json);
}

// A Server running Run on a thread of its own from construction until the
// end of the scope.
class RunningServer {
 public:
  template <class AnyHandler>
  RunningServer(const zxservice::Limits& limits, AnyHandler handler)
      : m_pipeName(UniqueName(L"zxservice-test")), m_server(m_pipeName, handler, limits) {
    m_listenError = m_server.Listen();
    if (m_listenError != ERROR_SUCCESS) return;
    m_thread = std::thread([this] {
      m_server.Run([this] { SetEvent(m_listening.Get()); });
      SetEvent(m_ended.Get());
    });
  }
  ~RunningServer() {
    m_server.Stop();
    if (m_thread.joinable()) m_thread.join();
  }

  bool Listening() const {
    return m_listenError == ERROR_SUCCESS &&
           WaitForSingleObject(m_listening.Get(), kReadyWaitMs) == WAIT_OBJECT_0;
  }
  std::wstring PipePath() const { return kPipePathPrefix + m_pipeName; }
  // Stops the server; whether Run returned within milliseconds.
  bool StopsWithin(DWORD milliseconds) {
    m_server.Stop();
    return WaitForSingleObject(m_ended.Get(), milliseconds) == WAIT_OBJECT_0;
  }

 private:
  UniqueHandle m_listening{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  UniqueHandle m_ended{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::wstring m_pipeName;
  zxservice::Server m_server;
  DWORD m_listenError = ERROR_SUCCESS;
  std::thread m_thread;
};

constexpr std::uint32_t kMaxRequest = 64;
constexpr DWORD kRequestTimeoutMs = 1000;
const std::string kErrorReply = R"({"error_code":"-2147467259"})";

zxservice::Limits TestLimits() {
  zxservice::Limits limits;
  limits.maxRequestBytes = kMaxRequest;
  limits.requestTimeoutMs = kRequestTimeoutMs;
  return limits;
}

struct ExchangeCase {
  const char* what;
  std::string sent;
  std::string reply;  // the whole reply frame; empty: closed without a reply
  bool waitsForTheTimeout;
};

TEST(ServiceLibrary, AnswersWhatAClientSendsWithinTheBounds) {
  const std::string atLimit = "/svc/q?json=" + std::string(kMaxRequest - 12, '7');
  const ExchangeCase cases[] = {
      {"a request", Frame("/svc/q?json=[1]"), Frame("/svc/q|[1]"), false},
      {"no ?json=", Frame("/svc/bare"), Frame("/svc/bare|"), false},
      {"a request at the size limit", Frame(atLimit),
       Frame("/svc/q|" + atLimit.substr(12)), false},
      {"a handler that throws", Frame("/svc/throw?json=1"), Frame(kErrorReply), false},
      {"a handler with nothing to say", Frame("/svc/empty?json=1"), Frame(kErrorReply), false},
      {"one byte over the size limit", Frame(atLimit + "7"), "", false},
      {"a 4 GB announcement", FrameHeader(0xFFFFFFFFu) + "abc", "", false},
      {"a client that never sends", "", "", true},
      {"half a length field", "\x05\0"s, "", true},
      {"half a request", FrameHeader(20) + "/svc/q", "", true},
  };
  RunningServer server(TestLimits(), zxservice::Handler(TestHandler));
  ASSERT_TRUE(server.Listening());
  for (const ExchangeCase& c : cases) {
    const ULONGLONG start = GetTickCount64();
    RawReply reply = RawExchange(server.PipePath(), c.sent);
    const ULONGLONG elapsed = GetTickCount64() - start;
    ASSERT_EQ(reply.connectError, DWORD{ERROR_SUCCESS}) << c.what;
    EXPECT_EQ(reply.bytes, c.reply) << c.what;
    EXPECT_EQ(reply.endError, DWORD{ERROR_BROKEN_PIPE}) << c.what;
    // A refused request is dropped at once, a silent client at the timeout.
    EXPECT_EQ(elapsed >= kRequestTimeoutMs, c.waitsForTheTimeout) << c.what << ": " << elapsed;
  }
}

// Clients in every stage of a connection: Stop ends them all and Run
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
  const std::string stages[] = {"", FrameHeader(20) + "/svc/q", Frame("/svc/q?json=1")};
  std::vector<UniqueFile> clients;
  for (const std::string& sent : stages) {
    clients.emplace_back();
    ASSERT_EQ(RawConnect(server.PipePath(), clients.back()), DWORD{ERROR_SUCCESS});
    DWORD written = 0;
    ASSERT_TRUE(sent.empty() || WriteFile(clients.back().Get(), sent.data(),
                                          static_cast<DWORD>(sent.size()), &written, nullptr));
  }
  ASSERT_EQ(WaitForSingleObject(handlerPaused.Get(), kReadyWaitMs), WAIT_OBJECT_0);

  EXPECT_TRUE(server.StopsWithin(kStopWaitMs));
  for (const UniqueFile& client : clients) {
    char byte = 0;
    DWORD read = 0;
    EXPECT_FALSE(ReadFile(client.Get(), &byte, 1, &read, nullptr));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_BROKEN_PIPE});
  }
}

TEST(ServiceLibrary, ASecondServerOnTheSameNameIsRefused) {
  RunningServer first(TestLimits(), zxservice::Handler(TestHandler));
  ASSERT_TRUE(first.Listening());
  const std::wstring name = first.PipePath().substr(wcslen(kPipePathPrefix));
  zxservice::Server second(name, zxservice::Handler(TestHandler));
  EXPECT_EQ(second.Listen(), DWORD{ERROR_ACCESS_DENIED});
}

// Each registry view holds its own name, and the objects' own lookup finds
// the one in their view.
TEST(ServiceLibrary, RegistersAndWithdrawsThePipeNameInEachView) {
  const std::wstring root = L"SOFTWARE\\ZxServiceLibraryTests\\" + UniqueName(L"root") + L"\\";
  for (REGSAM view : {REGSAM{0}, REGSAM{KEY_WOW64_32KEY}}) {
    ASSERT_EQ(zxservice::RegisterPipeName(L"svc", L"zx-pipe", root, view), ERROR_SUCCESS);
    UniqueRegKey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, (root + L"svc").c_str(), 0, KEY_READ | view,
                            key.Put()),
              ERROR_SUCCESS);
    std::wstring pipePath;
    EXPECT_EQ(ReadPipeNameValue(key.Get(), pipePath), S_OK);
    EXPECT_EQ(pipePath, L"\\\\.\\Pipe\\zx-pipe");
    EXPECT_EQ(LookupPipeName(root, L"svc", pipePath) == S_OK, view == 0);
    ASSERT_EQ(zxservice::UnregisterPipeName(L"svc", root, view), ERROR_SUCCESS);
    EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, (root + L"svc").c_str(), 0, KEY_READ | view,
                            key.Put()),
              ERROR_SUCCESS);
    EXPECT_EQ(zxservice::UnregisterPipeName(L"svc", root, view), ERROR_SUCCESS);
  }
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\ZxServiceLibraryTests");
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Wow6432Node\\ZxServiceLibraryTests");
}

}  // namespace
}  // namespace zx::test
