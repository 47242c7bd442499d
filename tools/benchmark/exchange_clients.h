#pragma once
// The four clients the large-reply row compares, behind one call: each makes
// one exchange with a service and leaves the reply where it would stay.
#include <string>

#include "bare_clients.h"
#include "object_client.h"
#include "sample_request.h"
#include "support/zxmlhttp_module.h"

namespace zxbench {

enum class ClientKind { BareBlocking, ObjectSync, BareOverlapped, ObjectAsync };

inline constexpr ClientKind kAllClients[] = {ClientKind::BareBlocking, ClientKind::ObjectSync,
                                             ClientKind::BareOverlapped, ClientKind::ObjectAsync};

const wchar_t* ClientName(ClientKind kind);
bool ParseClientName(const std::wstring& name, ClientKind& kind);

class ExchangeClients {
 public:
  explicit ExchangeClients(const zx::test::ZxmlhttpModule& module);

  // One exchange. The objects keep the reply stored, as a page finds it when
  // the handler runs; Release then reads it as text, which re-arms them.
  bool Exchange(ClientKind kind, const SampleRequest& request);
  void Release(ClientKind kind);

 private:
  ObjectClient m_syncObject;
  ObjectClient m_asyncObject;
  OverlappedClient m_overlapped;
  std::string m_reply;
};

}  // namespace zxbench
