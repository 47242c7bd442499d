#pragma once
// The clients the large-reply row compares, behind one call: each makes one
// exchange with a service and leaves the reply where it would stay. The
// "+text" and "+body" kinds also read the object's reply as a page must
// before it can use it, as text or as bytes.
#include <string>

#include "bare_clients.h"
#include "object_client.h"
#include "sample_request.h"
#include "support/zxmlhttp_module.h"

namespace zxbench {

// The synchronous clients come first, then the asynchronous ones, each group
// led by its bare client (BareClientOf relies on this order).
enum class ClientKind {
  BareBlocking,
  ObjectSync,
  ObjectSyncText,
  ObjectSyncBody,
  BareOverlapped,
  ObjectAsync,
  ObjectAsyncText,
};

inline constexpr ClientKind kAllClients[] = {
    ClientKind::BareBlocking,   ClientKind::ObjectSync,  ClientKind::ObjectSyncText,
    ClientKind::ObjectSyncBody, ClientKind::BareOverlapped, ClientKind::ObjectAsync,
    ClientKind::ObjectAsyncText};

// The bare client of the same mode as client.
ClientKind BareClientOf(ClientKind client);

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
