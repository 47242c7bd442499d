#pragma once
// Appends every request payload to a file, byte-exact, one record each: a
// 4-byte little-endian length, then the payload. A record is written before
// its reply, without user-mode buffering, so whoever got the reply can read
// the record at once.
#include <string>
#include <string_view>

#include "common/win_resources.h"

namespace zxsample {

class RequestLog {
 public:
  // Opens (creating if needed) the file for appending. Returns a Win32 error.
  DWORD Open(const std::wstring& path);
  // Appends one record; does nothing when no file is open. Returns a Win32 error.
  DWORD Append(std::string_view payload);

 private:
  zx::UniqueFile m_file;
  zx::CriticalSection m_lock;  // keeps the records of concurrent connections whole
};

}  // namespace zxsample
