#include "protocol/code_page.h"

#include <algorithm>
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
      const int exact = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
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

namespace {

// Replies are usually ASCII, which widens unit for unit, several times
// faster than the system's general conversion.
bool IsAscii(std::string_view text) {
  unsigned char any = 0;
  for (const char c : text) any |= static_cast<unsigned char>(c);
  return any < 0x80;
}

HRESULT WidenAscii(std::string_view text, UniqueBstr& out) {
  out.Reset(SysAllocStringLen(nullptr, static_cast<UINT>(text.size())));
  if (!out) return E_OUTOFMEMORY;
  std::copy(text.begin(), text.end(), out.Get());
  return S_OK;
}

// Measures first, so the BSTR is the only copy of the text.
HRESULT ConvertUtf8(std::string_view text, UniqueBstr& out) {
  const int size = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  if (units <= 0) return LastErrorResult();
  out.Reset(SysAllocStringLen(nullptr, static_cast<UINT>(units)));
  if (!out) return E_OUTOFMEMORY;
  if (MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.Get(), units) != units) {
    const HRESULT hr = LastErrorResult();
    out.Reset();
    return hr;
  }
  return S_OK;
}

}  // namespace

HRESULT Utf8ToBstr(std::string_view text, UniqueBstr& out) noexcept {
  text = text.substr(0, text.find('\0'));
  if (text.size() > INT_MAX) return E_OUTOFMEMORY;
  if (IsAscii(text)) return WidenAscii(text, out);
  return ConvertUtf8(text, out);
}

}  // namespace zx
