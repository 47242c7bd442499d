#include "exchange_clients.h"

namespace zxbench {
namespace {

constexpr const wchar_t* kClientNames[] = {
    L"bare-blocking",   L"object-sync",  L"object-sync+text", L"object-sync+body",
    L"bare-overlapped", L"object-async", L"object-async+text"};

}  // namespace

const wchar_t* ClientName(ClientKind kind) { return kClientNames[static_cast<int>(kind)]; }

ClientKind BareClientOf(ClientKind client) {
  return client < ClientKind::BareOverlapped ? ClientKind::BareBlocking
                                             : ClientKind::BareOverlapped;
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
    case ClientKind::BareBlocking:
      return BlockingExchange(request.pipePath, request.frame, m_reply);
    case ClientKind::ObjectSync:
      return m_syncObject.Exchange(false, request.url, request.form);
    case ClientKind::ObjectSyncText:
      return m_syncObject.Request(false, request.url, request.form);
    case ClientKind::ObjectSyncBody:
      return m_syncObject.Exchange(false, request.url, request.form) && m_syncObject.TakeBody();
    case ClientKind::BareOverlapped:
      return m_overlapped.Exchange(request.pipePath, request.frame, m_reply);
    case ClientKind::ObjectAsync:
      return m_asyncObject.Exchange(true, request.url, request.form);
    case ClientKind::ObjectAsyncText:
      return m_asyncObject.Request(true, request.url, request.form);
  }
  return false;
}

// The text re-arms an object for its next open.
void ExchangeClients::Release(ClientKind kind) {
  if (kind == ClientKind::ObjectSync || kind == ClientKind::ObjectSyncBody) m_syncObject.TakeText();
  if (kind == ClientKind::ObjectAsync) m_asyncObject.TakeText();
  m_reply = std::string();
}

}  // namespace zxbench
