#include "com/module.h"

#include <new>
#include <utility>

namespace zx {

struct Module::Termination {
  std::function<void()> cleanup;
  Termination* next;
};

Module& Module::Instance() {
  static Module module;
  return module;
}

Module::Module() {
  InitializeCriticalSection(&m_moduleLock);
  InitializeCriticalSection(&m_classTableLock);
}

Module::~Module() {
  DeleteCriticalSection(&m_classTableLock);
  DeleteCriticalSection(&m_moduleLock);
}

void Module::Attach(HINSTANCE instance) { m_instance = instance; }

bool Module::AddTermination(std::function<void()> cleanup) noexcept {
  auto* entry = new (std::nothrow) Termination{std::move(cleanup), m_terminations};
  if (!entry) return false;
  m_terminations = entry;
  return true;
}

void Module::Detach() {
  while (m_terminations) {
    Termination* entry = m_terminations;
    m_terminations = entry->next;
    entry->cleanup();
    delete entry;
  }
}

}  // namespace zx
