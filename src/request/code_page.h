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

namespace zx {

HRESULT Utf16ToUtf8(const wchar_t* text, std::string& out) noexcept;
HRESULT Utf8ToUtf16(const char* text, std::wstring& out) noexcept;
// CP_THREAD_ACP: the ANSI code page of the calling thread's locale.
HRESULT Utf16ToThreadAnsi(const wchar_t* text, std::string& out) noexcept;

}  // namespace zx
