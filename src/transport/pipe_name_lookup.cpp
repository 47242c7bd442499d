#include "transport/pipe_name_lookup.h"

#include <new>

#include "protocol/result_codes.h"
#include "transport/endpoint_config.h"

namespace zx {

HRESULT PipeNameLookup::Lookup(std::wstring_view serviceName, std::wstring& pipePath) noexcept {
  return Lookup(SpRootKeyPath(), serviceName, pipePath);
}

HRESULT PipeNameLookup::Lookup(std::wstring_view rootKeyPath, std::wstring_view serviceName,
                               std::wstring& pipePath) noexcept {
  pipePath.clear();
  if (HoldsKeyOf(rootKeyPath, serviceName)) {
    const HRESULT hr = ReadPipeNameValue(m_key.Get(), pipePath);
    if (hr != HRESULT_FROM_WIN32(ERROR_KEY_DELETED)) return hr;
  }
  m_key.Reset();
  const HRESULT hr = OpenServiceKey(rootKeyPath, serviceName, m_key);
  if (FAILED(hr)) return hr;
  try {
    m_rootKeyPath.assign(rootKeyPath);
    m_serviceName.assign(serviceName);
  } catch (const std::bad_alloc&) {
    m_key.Reset();
    return result::kSyncOutOfMemory;
  }
  return ReadPipeNameValue(m_key.Get(), pipePath);
}

bool PipeNameLookup::HoldsKeyOf(std::wstring_view rootKeyPath,
                                std::wstring_view serviceName) const noexcept {
  return m_key && rootKeyPath == m_rootKeyPath && serviceName == m_serviceName;
}

}  // namespace zx
