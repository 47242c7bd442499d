#include "request/code_page.h"

#include <climits>
#include <cstring>
#include <cwchar>
#include <new>
#include <stdexcept>

namespace zx {
namespace {

// Largest UTF-16 unit count whose first-guess buffer still fits an int.
constexpr size_t kMaxGuessUnits = INT_MAX / 4;

HRESULT LastErrorResult() {
  const DWORD error = GetLastError();
  return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

// Converts into out, sized for capacity bytes including the terminator.
// Returns what WideCharToMultiByte returns: bytes with terminator, 0 on failure.
int ConvertInto(UINT codePage, const wchar_t* text, std::string& out, int capacity) {
  out.resize(static_cast<size_t>(capacity));
  return WideCharToMultiByte(codePage, 0, text, -1, &out[0], capacity, nullptr, nullptr);
}

// First tries 4 bytes per UTF-16 unit, which holds any UTF-8 or DBCS text,
// and asks for the exact size only if a code page ever needs more.
HRESULT WideToMultiByte(UINT codePage, const wchar_t* text, std::string& out) noexcept {
  out.clear();
  if (!text || !*text) return S_OK;
  const size_t units = std::wcslen(text) + 1;
  if (units > kMaxGuessUnits) return E_OUTOFMEMORY;
  try {
    int written = ConvertInto(codePage, text, out, static_cast<int>(units * 4));
    if (written == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
      const int exact =
          WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
      if (exact > 0) written = ConvertInto(codePage, text, out, exact);
    }
    if (written == 0) {
      const HRESULT hr = LastErrorResult();
      out.clear();
      return hr;
    }
    out.resize(static_cast<size_t>(written - 1));
    return S_OK;
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  out.clear();
  return E_OUTOFMEMORY;
}

}  // namespace

HRESULT Utf16ToUtf8(const wchar_t* text, std::string& out) noexcept {
  return WideToMultiByte(CP_UTF8, text, out);
}

HRESULT Utf16ToThreadAnsi(const wchar_t* text, std::string& out) noexcept {
  return WideToMultiByte(CP_THREAD_ACP, text, out);
}

// One UTF-16 unit per input byte always suffices.
HRESULT Utf8ToUtf16(const char* text, std::wstring& out) noexcept {
  out.clear();
  if (!text || !*text) return S_OK;
  const size_t bytes = std::strlen(text) + 1;
  if (bytes > INT_MAX) return E_OUTOFMEMORY;
  try {
    out.resize(bytes);
    const int written =
        MultiByteToWideChar(CP_UTF8, 0, text, -1, &out[0], static_cast<int>(bytes));
    if (written <= 0) {
      const HRESULT hr = LastErrorResult();
      out.clear();
      return hr;
    }
    out.resize(static_cast<size_t>(written - 1));
    return S_OK;
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  out.clear();
  return E_OUTOFMEMORY;
}

}  // namespace zx
