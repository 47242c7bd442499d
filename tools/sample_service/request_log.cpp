#include "request_log.h"

#include "protocol/request_frame.h"

namespace zxsample {

DWORD RequestLog::Open(const std::wstring& path) {
  // Readers (the tests) may open, read and delete the file while we run.
  m_file.Reset(CreateFileW(path.c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return m_file ? ERROR_SUCCESS : GetLastError();
}

DWORD RequestLog::Append(std::string_view payload) {
  if (!m_file) return ERROR_SUCCESS;
  std::string record(zx::kFrameLengthSize, '\0');
  zx::StoreFrameLength(static_cast<std::uint32_t>(payload.size()), record.data());
  record += payload;

  zx::CriticalSectionGuard guard(m_lock);
  DWORD written = 0;
  if (!WriteFile(m_file.Get(), record.data(), static_cast<DWORD>(record.size()), &written,
                 nullptr)) {
    return GetLastError();
  }
  return written == record.size() ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

}  // namespace zxsample
