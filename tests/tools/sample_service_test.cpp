// The sample service as a program: every reply mode byte for byte on the
// wire, its request log, how it ends and what it leaves registered.
#include <gtest/gtest.h>

#include <future>

#include "common/win_resources.h"
#include "harness/sample_service_process.h"
#include "harness/test_paths.h"
#include "support/raw_pipe_client.h"
#include "transport/endpoint_config.h"

namespace zx::test {
namespace {

using namespace std::string_literals;

const std::string kRequest = "/svc/query?json={\"a\":1}";
const std::string kEcho = "{\"path\":\"/svc/query\",\"json\":{\"a\":1}}";
const std::string kFileBody = "0123456789abcdefghijklmnopqrstuvwxyz";

// The sample service listening on a pipe of its own.
struct Served {
  explicit Served(const std::wstring& options) : process(L"--pipe " + pipe + L" " + options) {}
  std::wstring Path() const { return kPipePathPrefix + pipe; }

  const std::wstring pipe = UniqueName(L"zxsample");
  SampleServiceProcess process;
};

bool WriteBytes(const std::wstring& path, std::string_view bytes) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  return WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// zxsample_service.exe run with arguments to its end: its exit code, or
// STILL_ACTIVE when it had to be killed.
DWORD ExitCodeOf(const std::wstring& arguments) {
  std::wstring line = L"\"" + BesideProgram(L"zxsample_service.exe") + L"\" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started)) {
    return STILL_ACTIVE;
  }
  UniqueHandle thread(started.hThread), process(started.hProcess);
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(process.Get(), 30000) != WAIT_OBJECT_0)
    TerminateProcess(process.Get(), 1);
  GetExitCodeProcess(process.Get(), &code);
  return code;
}

TEST(SampleService, RepliesInEachModeByteForByte) {
  TempFile file(L"zxsample-reply");
  ASSERT_TRUE(WriteBytes(file.Path(), kFileBody));
  const std::wstring fromFile = L"--reply file \"" + file.Path() + L"\" ";
  const std::uint32_t fileLength = 36, echoLength = static_cast<std::uint32_t>(kEcho.size());
  const struct Case {
    std::wstring options;
    std::string payload, reply;
  } cases[] = {
      {L"", kRequest, Frame(kEcho)},
      {L"", "/no/separator", Frame("{\"path\":\"/no/separator\",\"json\":null}")},
      {L"", "/x?json=1?json=2", Frame("{\"path\":\"/x\",\"json\":1?json=2}")},
      {L"", "/q\"uo\\te\x01?json=[]", Frame("{\"path\":\"/q\\\"uo\\\\te\\u0001\",\"json\":[]}")},
      {L"", "/bin?json=\0\xff"s, Frame("{\"path\":\"/bin\",\"json\":\0\xff}"s)},
      {fromFile, kRequest, Frame(kFileBody)},
      {fromFile + L"--size 4", kRequest, Frame(kFileBody.substr(0, 4))},
      {fromFile + L"--size 80", kRequest, Frame(kFileBody + kFileBody + kFileBody.substr(0, 8))},
      {L"--size 7", kRequest, Frame(kEcho.substr(0, 7))},
      {L"--reply error-code -536150015", kRequest, Frame("{\"error_code\":\"-536150015\"}")},
      {L"--reply error-code 0xE00C0004", kRequest, Frame("{\"error_code\":\"-536084476\"}")},
      {L"--reply zero-length", kRequest, "\0\0\0\0"s},
      {fromFile + L"--partial 5", kRequest, FrameHeader(fileLength) + kFileBody.substr(0, 5)},
      {fromFile + L"--partial 0", kRequest, FrameHeader(fileLength)},
      {fromFile + L"--short 3", kRequest, FrameHeader(fileLength + 3) + kFileBody},
      {fromFile + L"--huge", kRequest, FrameHeader(0xFFFFFFF0u) + kFileBody.substr(0, 16)},
      {L"--many-writes", kRequest, Frame(kEcho)},
      {L"--drip 3 5", kRequest, Frame(kEcho)},
      {L"--delay 100 --drip 1000 10", kRequest, Frame(kEcho)},
      {L"--drip 2 1 --partial 7", kRequest, FrameHeader(echoLength) + kEcho.substr(0, 7)},
      {L"--many-writes --huge", kRequest, FrameHeader(0xFFFFFFF0u) + kEcho.substr(0, 16)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.options) + " " + c.payload);
    Served service(c.options);
    ASSERT_TRUE(service.process.Started());
    const RawReply reply = RawExchange(service.Path(), Frame(c.payload));
    EXPECT_TRUE(reply.bytes == c.reply) << ::testing::PrintToString(reply.bytes);
    EXPECT_EQ(reply.endError, DWORD{ERROR_BROKEN_PIPE});  // closed once the reply is out
  }
}

// Each payload, byte exact, once the reply has arrived; after what the
// file held, and without the requests that never came whole.
TEST(SampleService, LogsEachWholeRequestOnceItsReplyArrived) {
  std::string allBytes;
  for (int value = 0; value < 256; ++value) allBytes += static_cast<char>(value);
  TempFile log(L"zxsample-log");
  ASSERT_TRUE(WriteBytes(log.Path(), Frame("earlier")));
  Served service(L"--log \"" + log.Path() + L"\"");
  ASSERT_TRUE(service.process.Started());
  EXPECT_EQ(RawSendAndHangUp(service.Path(), "\x0a\0\0\0abc"s), DWORD{ERROR_SUCCESS});
  EXPECT_EQ(RawSendAndHangUp(service.Path(), "\x02\0"s), DWORD{ERROR_SUCCESS});
  std::vector<std::string> sent = {"earlier"};
  for (const std::string& payload : {"/svc/bin?json=" + allBytes, ""s, "/svc/zero?json=\0\0"s,
                                     "/svc/big?json=" + std::string(1 << 20, '7')}) {
    const RawReply reply = RawExchange(service.Path(), Frame(payload), ReadUntil::kFrameEnds);
    ASSERT_EQ(reply.endError, DWORD{ERROR_SUCCESS});
    sent.push_back(payload);
    EXPECT_TRUE(ReadRequestLog(log.Path()) == sent) << "after " << sent.size() - 1 << " requests";
  }
}

// How each run ends, and what it leaves registered below an SP root of
// this test's own: the exit code says 0 done, 1 failed, 2 bad command line.
TEST(SampleService, EndsAsAskedAndLeavesTheRegistrationAsAsked) {
  const std::wstring root = L"SOFTWARE\\ZxSampleServiceTests\\" + UniqueName(L"root");
  Served taken(L"");
  ASSERT_TRUE(taken.process.Started());
  const struct Case {
    std::wstring options;
    int exchanges;
    bool stopped;
    DWORD exitCode;
    bool registeredAfter;
  } cases[] = {
      {L"--max-requests 3", 3, false, 0, false},
      {L"--exit-after 200", 0, false, 0, false},
      {L"--segment svc", 1, true, 0, true},
      {L"--unregister --segment svc", 0, false, 0, false},
      {L"--unregister --segment svc", 0, false, 0, false},  // nothing left to delete
      {L"--segment svc --unregister-at-exit", 1, true, 0, false},
      {L"--pipe " + taken.pipe, 0, false, 1, false},
      {L"--reply file C:\\no\\such\\reply.bin", 0, false, 1, false},
      {L"--bogus", 0, false, 2, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.options));
    const std::wstring pipe = UniqueName(L"zxsample"), ready = UniqueName(L"zx-ready"),
                       stop = UniqueName(L"zx-stop");
    UniqueHandle readyEvent(CreateEventW(nullptr, TRUE, FALSE, ready.c_str()));
    UniqueHandle stopEvent(CreateEventW(nullptr, TRUE, FALSE, stop.c_str()));
    std::future<DWORD> exitCode =
        std::async(std::launch::async, ExitCodeOf,
                   L"--pipe " + pipe + L" --sp-root " + root + L" --ready-event " + ready +
                       L" --stop-event " + stop + L" " + c.options);
    if (c.exchanges > 0) {
      ASSERT_EQ(WaitForSingleObject(readyEvent.Get(), 20000), WAIT_OBJECT_0);
    }
    for (int i = 0; i < c.exchanges; ++i) {
      std::wstring path = kPipePathPrefix + pipe;  // or where the registration leads
      if (c.options.find(L"--segment") != std::wstring::npos)
        LookupPipeName(root + L"\\", L"svc", path);
      EXPECT_EQ(RawExchange(path, Frame("/svc?json=1")).bytes,
                Frame("{\"path\":\"/svc\",\"json\":1}"));
    }
    if (c.stopped) SetEvent(stopEvent.Get());
    EXPECT_EQ(exitCode.get(), c.exitCode);
    UniqueRegKey key;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, (root + L"\\svc").c_str(), 0, KEY_READ,
                            key.Put()) == ERROR_SUCCESS,
              c.registeredAfter);
  }
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\ZxSampleServiceTests");
}

}  // namespace
}  // namespace zx::test
