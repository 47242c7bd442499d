#pragma once
// A request object's pipe-name lookup. Like LookupPipeName it reads the
// service's "Name" value at every open, so a changed name counts from the
// next open on; but it keeps the service's key open from one open of the
// same service to the next, so that an open costs one registry query instead
// of opening, querying and closing the key. A key deleted in between fails
// the query with ERROR_KEY_DELETED and is then opened afresh, which answers
// as an open every time would (0x80070002 while it is missing).
#include <windows.h>

#include <string>
#include <string_view>

#include "common/win_resources.h"

namespace zx {

class PipeNameLookup {
 public:
  // As LookupPipeName(serviceName, pipePath).
  HRESULT Lookup(std::wstring_view serviceName, std::wstring& pipePath) noexcept;
  // The same below an explicit root key path instead of SpRootKeyPath().
  HRESULT Lookup(std::wstring_view rootKeyPath, std::wstring_view serviceName,
                 std::wstring& pipePath) noexcept;

 private:
  bool HoldsKeyOf(std::wstring_view rootKeyPath, std::wstring_view serviceName) const noexcept;

  // The open key, and the root and service it belongs to.
  UniqueRegKey m_key;
  std::wstring m_rootKeyPath;
  std::wstring m_serviceName;
};

}  // namespace zx
