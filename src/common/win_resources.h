#pragma once
// Small move-only owners of Win32 and OLE resources. Each releases what it
// holds when it goes out of scope, so every early return stays leak-free.
//
//   UniqueHandle       HANDLE, null is empty (events, threads, ports, ...)
//   UniqueFile         HANDLE, INVALID_HANDLE_VALUE is empty (CreateFileW)
//   UniqueRegKey       HKEY
//   UniqueServiceHandle SC_HANDLE
//   UniqueBstr         BSTR
//   UniqueGdiObject<T> HBITMAP, HFONT, HBRUSH, ... (DeleteObject)
//   UniqueMemoryDc     HDC from CreateCompatibleDC (DeleteDC)
//   UniqueWindowDc     HDC from GetDC (ReleaseDC)
//   UniqueVariant      VARIANT (VariantClear)
//   CriticalSection    owns a CRITICAL_SECTION
//   CriticalSectionGuard holds a CriticalSection or CRITICAL_SECTION for a scope
//
// Typical use:  UniqueRegKey key;
//               LONG rc = RegOpenKeyExW(root, path, 0, KEY_READ, key.Put());
#include <windows.h>
#include <oleauto.h>
#include <winsvc.h>

#include <string_view>

namespace zx {

// Owns one value of Traits::Type; Traits supplies Empty() and Close(value).
template <class Traits>
class UniqueResource {
 public:
  using Type = typename Traits::Type;

  UniqueResource() noexcept = default;
  explicit UniqueResource(Type value) noexcept : m_value(value) {}
  ~UniqueResource() { Reset(); }

  UniqueResource(UniqueResource&& other) noexcept : m_value(other.Detach()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) Reset(other.Detach());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;

  Type Get() const noexcept { return m_value; }
  explicit operator bool() const noexcept { return m_value != Traits::Empty(); }

  // Closes the current value and takes ownership of value.
  void Reset(Type value = Traits::Empty()) noexcept {
    Type old = m_value;
    m_value = value;
    if (old != Traits::Empty()) Traits::Close(old);
  }
  // Gives up ownership without closing.
  Type Detach() noexcept {
    Type value = m_value;
    m_value = Traits::Empty();
    return value;
  }
  // Closes the current value and returns the slot for an out parameter.
  Type* Put() noexcept {
    Reset();
    return &m_value;
  }

 private:
  Type m_value = Traits::Empty();
};

// Traits of a resource whose empty value is null and that close releases.
template <class T, auto close>
struct NullEmptyTraits {
  using Type = T;
  static Type Empty() noexcept { return nullptr; }
  static void Close(Type value) noexcept { close(value); }
};
// CreateFileW and CreateNamedPipeW report failure as INVALID_HANDLE_VALUE.
struct FileHandleTraits {
  using Type = HANDLE;
  static Type Empty() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Type value) noexcept { CloseHandle(value); }
};
inline void DeleteGdiObject(HGDIOBJ object) noexcept { DeleteObject(object); }

using UniqueHandle = UniqueResource<NullEmptyTraits<HANDLE, &CloseHandle>>;
using UniqueFile = UniqueResource<FileHandleTraits>;
using UniqueRegKey = UniqueResource<NullEmptyTraits<HKEY, &RegCloseKey>>;
using UniqueServiceHandle = UniqueResource<NullEmptyTraits<SC_HANDLE, &CloseServiceHandle>>;
using UniqueBstr = UniqueResource<NullEmptyTraits<BSTR, &SysFreeString>>;

// Hands a copy of text to a COM method's out-BSTR: S_OK, or E_OUTOFMEMORY
// with *out untouched.
inline HRESULT CopyToOutBstr(std::wstring_view text, BSTR* out) noexcept {
  BSTR copy = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (!copy) return E_OUTOFMEMORY;
  *out = copy;
  return S_OK;
}
template <class GdiHandle = HGDIOBJ>
using UniqueGdiObject = UniqueResource<NullEmptyTraits<GdiHandle, &DeleteGdiObject>>;
using UniqueMemoryDc = UniqueResource<NullEmptyTraits<HDC, &DeleteDC>>;

// A window's device context from GetDC; released to the same window.
class UniqueWindowDc {
 public:
  explicit UniqueWindowDc(HWND window) noexcept : m_window(window), m_dc(GetDC(window)) {}
  ~UniqueWindowDc() { Release(); }
  UniqueWindowDc(UniqueWindowDc&& other) noexcept : m_window(other.m_window), m_dc(other.m_dc) {
    other.m_dc = nullptr;
  }
  UniqueWindowDc& operator=(UniqueWindowDc&& other) noexcept {
    if (this != &other) {
      Release();
      m_window = other.m_window;
      m_dc = other.m_dc;
      other.m_dc = nullptr;
    }
    return *this;
  }
  UniqueWindowDc(const UniqueWindowDc&) = delete;
  UniqueWindowDc& operator=(const UniqueWindowDc&) = delete;

  HDC Get() const noexcept { return m_dc; }
  explicit operator bool() const noexcept { return m_dc != nullptr; }

 private:
  void Release() noexcept {
    if (m_dc) ReleaseDC(m_window, m_dc);
  }

  HWND m_window;
  HDC m_dc;
};

class UniqueVariant {
 public:
  UniqueVariant() noexcept { VariantInit(&m_value); }
  ~UniqueVariant() { VariantClear(&m_value); }
  UniqueVariant(UniqueVariant&& other) noexcept : m_value(other.m_value) {
    VariantInit(&other.m_value);
  }
  UniqueVariant& operator=(UniqueVariant&& other) noexcept {
    if (this != &other) {
      VariantClear(&m_value);
      m_value = other.m_value;
      VariantInit(&other.m_value);
    }
    return *this;
  }
  UniqueVariant(const UniqueVariant&) = delete;
  UniqueVariant& operator=(const UniqueVariant&) = delete;

  const VARIANT& Get() const noexcept { return m_value; }
  // Clears the current value and returns it for an out parameter.
  VARIANT* Put() noexcept {
    VariantClear(&m_value);
    return &m_value;
  }

 private:
  VARIANT m_value;
};

// Neither copyable nor movable: threads hold its address while waiting.
class CriticalSection {
 public:
  CriticalSection() noexcept { InitializeCriticalSection(&m_section); }
  ~CriticalSection() { DeleteCriticalSection(&m_section); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  CRITICAL_SECTION& Native() noexcept { return m_section; }

 private:
  CRITICAL_SECTION m_section;
};

// Holds a critical section for the rest of the scope.
class CriticalSectionGuard {
 public:
  explicit CriticalSectionGuard(CRITICAL_SECTION& section) noexcept : m_section(section) {
    EnterCriticalSection(&m_section);
  }
  explicit CriticalSectionGuard(CriticalSection& section) noexcept
      : CriticalSectionGuard(section.Native()) {}
  ~CriticalSectionGuard() { LeaveCriticalSection(&m_section); }
  CriticalSectionGuard(const CriticalSectionGuard&) = delete;
  CriticalSectionGuard& operator=(const CriticalSectionGuard&) = delete;

 private:
  CRITICAL_SECTION& m_section;
};

}  // namespace zx
