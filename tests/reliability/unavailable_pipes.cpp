#include "reliability/unavailable_pipes.h"

namespace zx::test {
namespace {

// How long a client's WaitNamedPipeW(NMPWAIT_USE_DEFAULT_WAIT) waits for a
// free instance: short, since none ever comes.
constexpr DWORD kDefaultWaitMs = 50;

std::wstring PipePath(const std::wstring& name) { return L"\\\\.\\pipe\\" + name; }

HANDLE CreateOneInstance(const std::wstring& name, DWORD openMode) {
  return CreateNamedPipeW(PipePath(name).c_str(), openMode,
                          PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 4096, 4096,
                          kDefaultWaitMs, nullptr);
}

}  // namespace

BusyPipe::BusyPipe(const std::wstring& name)
    : m_instance(CreateOneInstance(name, PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED)) {
  if (!m_instance) return;
  UniqueHandle connected(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  OVERLAPPED overlapped = {};
  overlapped.hEvent = connected.Get();
  const bool pending =
      !ConnectNamedPipe(m_instance.Get(), &overlapped) && GetLastError() == ERROR_IO_PENDING;
  m_holder.Reset(CreateFileW(PipePath(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                             OPEN_EXISTING, 0, nullptr));
  if (!pending) return;
  // The OVERLAPPED must outlive the connect, which the holder has ended
  // or, if it could not open, the cancel ends.
  if (!m_holder) CancelIo(m_instance.Get());
  DWORD unused = 0;
  GetOverlappedResult(m_instance.Get(), &overlapped, &unused, TRUE);
}

RefusingPipe::RefusingPipe(const std::wstring& name)
    : m_instance(CreateOneInstance(name, PIPE_ACCESS_INBOUND)) {}

}  // namespace zx::test
