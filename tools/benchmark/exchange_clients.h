#pragma once
// The clients the large-reply row compares, behind one call: each makes one
// exchange with a service and leaves the reply where it would stay. The
// "+text" and "+body" kinds also read the object's reply as a page must
// before it can use it, as text or as bytes.
#include <string>

#include "bare_clients.h"
#include "harness/zxmlhttp_module.h"
#include "object_client.h"
#include "sample_request.h"

namespace zxbench {

// The synchronous clients come first, then the asynchronous ones, each group
// led by its bare client (BareClientOf relies on this order).
enum class ClientKind {
  kBareBlocking,
  kObjectSync,
  kObjectSyncText,
  kObjectSyncBody,
  kBareOverlapped,
  kObjectAsync,
  kObjectAsyncText,
};

inline constexpr ClientKind kAllClients[] = {
    ClientKind::kBareBlocking,   ClientKind::kObjectSync,     ClientKind::kObjectSyncText,
    ClientKind::kObjectSyncBody, ClientKind::kBareOverlapped, ClientKind::kObjectAsync,
    ClientKind::kObjectAsyncText};

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
