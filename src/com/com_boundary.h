#pragma once
// No exception may cross a COM method: the containers behind a method can
// only throw for lack of memory, which the caller sees as E_OUTOFMEMORY.
#include <windows.h>

#include <new>

namespace zx {

template <class Body>
HRESULT NoThrow(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // namespace zx
