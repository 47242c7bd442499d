#pragma once
// Conversions between the wide strings of the COM surface and the byte
// strings that go onto the pipe: UTF-8 for JSON and replies, the calling
// thread's ANSI code page for the request path. Each converts the text up
// to its first zero character (or byte).
//
// Results: S_OK; E_OUTOFMEMORY; or the system's reason for refusing the
// conversion, as an HRESULT. On failure the output is empty, never partial.
#include <windows.h>

#include <string>
#include <string_view>

#include "common/win_resources.h"

namespace zx {

HRESULT Utf16ToUtf8(const wchar_t* text, std::string& out) noexcept;
// CP_THREAD_ACP: the ANSI code page of the calling thread's locale.
HRESULT Utf16ToThreadAnsi(const wchar_t* text, std::string& out) noexcept;
// UTF-8 text, up to its first zero byte, straight into a new BSTR: no
// intermediate copy of a reply that may be megabytes long.
HRESULT Utf8ToBstr(std::string_view text, UniqueBstr& out) noexcept;

}  // namespace zx
