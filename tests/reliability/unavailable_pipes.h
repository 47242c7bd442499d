#pragma once
// Pipes that exist but turn every client of the module away, for requests
// that must fail before anything is exchanged. Both stay as they are for as
// long as the object lives.
#include <windows.h>

#include <string>

#include "common/win_resources.h"

namespace zx::test {

// One instance, held by a client of the test's own: the pipe is busy.
class BusyPipe {
 public:
  // name is the pipe's name without the "\\.\pipe\" prefix.
  explicit BusyPipe(const std::wstring& name);
  bool Ready() const { return static_cast<bool>(m_holder); }

 private:
  UniqueFile m_instance;
  UniqueFile m_holder;
};

// An instance that only receives: the pipe is there, but opening it for
// reading and writing fails every time.
class RefusingPipe {
 public:
  explicit RefusingPipe(const std::wstring& name);
  bool Ready() const { return static_cast<bool>(m_instance); }

 private:
  UniqueFile m_instance;
};

}  // namespace zx::test
