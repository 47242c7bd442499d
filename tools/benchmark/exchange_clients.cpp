#include "exchange_clients.h"

namespace zxbench {
namespace {

constexpr const wchar_t* kClientNames[] = {L"bare-blocking", L"object-sync", L"bare-overlapped",
                                           L"object-async"};

}  // namespace

const wchar_t* ClientName(ClientKind kind) { return kClientNames[static_cast<int>(kind)]; }

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
    case ClientKind::BareOverlapped:
      return m_overlapped.Exchange(request.pipePath, request.frame, m_reply);
    case ClientKind::ObjectAsync:
      return m_asyncObject.Exchange(true, request.url, request.form);
  }
  return false;
}

void ExchangeClients::Release(ClientKind kind) {
  if (kind == ClientKind::ObjectSync) m_syncObject.TakeText();
  if (kind == ClientKind::ObjectAsync) m_asyncObject.TakeText();
  m_reply = std::string();
}

}  // namespace zxbench
