#include "com/module.h"

#include <new>
#include <utility>

namespace zx {

Module& Module::Instance() {
  static Module module;
  return module;
}

bool Module::AddTermination(std::function<void()> cleanup) noexcept {
  CriticalSectionGuard guard(m_moduleLock);
  try {
    m_terminations.push_back(std::move(cleanup));
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void Module::Detach(bool processExiting) noexcept {
  if (processExiting) return;
  std::vector<std::function<void()>> terminations;
  {
    CriticalSectionGuard guard(m_moduleLock);
    terminations.swap(m_terminations);
  }
  for (auto cleanup = terminations.rbegin(); cleanup != terminations.rend(); ++cleanup) {
    (*cleanup)();
  }
}

}  // namespace zx
