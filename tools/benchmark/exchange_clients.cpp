#include "exchange_clients.h"

namespace zxbench {
namespace {

constexpr const wchar_t* kClientNames[] = {
    L"bare-blocking",   L"object-sync",  L"object-sync+text", L"object-sync+body",
    L"bare-overlapped", L"object-async", L"object-async+text"};

}  // namespace

const wchar_t* ClientName(ClientKind kind) { return kClientNames[static_cast<int>(kind)]; }

ClientKind BareClientOf(ClientKind client) {
  return client < ClientKind::kBareOverlapped ? ClientKind::kBareBlocking
                                              : ClientKind::kBareOverlapped;
}

bool ParseClientName(const std::wstring& name, ClientKind& kind) {
  for (ClientKind candidate : kAllClients) {
    if (name == ClientName(candidate)) {
      kind = candidate;
      return true;
    }
  }
  return false;
}

ExchangeClients::ExchangeClients(const zx::test::ZxmlhttpModule& module)
    : m_syncObject(NewRequestObject(module)), m_asyncObject(NewRequestObject(module)) {}

bool ExchangeClients::Exchange(ClientKind kind, const SampleRequest& request) {
  switch (kind) {
    case ClientKind::kBareBlocking:
      return BlockingExchange(request.pipePath, request.frame, m_reply);
    case ClientKind::kObjectSync:
      return m_syncObject.Exchange(false, request.url, request.form);
    case ClientKind::kObjectSyncText:
      return m_syncObject.Request(false, request.url, request.form);
    case ClientKind::kObjectSyncBody:
      return m_syncObject.Exchange(false, request.url, request.form) && m_syncObject.TakeBody();
    case ClientKind::kBareOverlapped:
      return m_overlapped.Exchange(request.pipePath, request.frame, m_reply);
    case ClientKind::kObjectAsync:
      return m_asyncObject.Exchange(true, request.url, request.form);
    case ClientKind::kObjectAsyncText:
      return m_asyncObject.Request(true, request.url, request.form);
  }
  return false;
}

// The text re-arms an object for its next open.
void ExchangeClients::Release(ClientKind kind) {
  if (kind == ClientKind::kObjectSync || kind == ClientKind::kObjectSyncBody)
    m_syncObject.TakeText();
  if (kind == ClientKind::kObjectAsync) m_asyncObject.TakeText();
  m_reply = std::string();
}

}  // namespace zxbench
