#include "ui/module_state.h"

#include "common/module_path.h"
#include "common/win_resources.h"

namespace zx {
namespace {

PendingCreation* g_pendingCreations = nullptr;

CriticalSection& CreationListLock() {
  static CriticalSection lock;
  return lock;
}

// The link that points at the first record matching, or at the list's end.
template <class Matches>
PendingCreation** FindLink(Matches matches) {
  PendingCreation** link = &g_pendingCreations;
  while (*link && !matches(**link)) link = &(*link)->next;
  return link;
}

}  // namespace

HINSTANCE ResourceInstance() noexcept {
  const HMODULE module = ThisModule();
  return module ? module : GetModuleHandleW(nullptr);
}

void RegisterPendingCreation(PendingCreation& record, ModalDialog& dialog) {
  CriticalSectionGuard lock(CreationListLock());
  record = {&dialog, GetCurrentThreadId(), g_pendingCreations};
  g_pendingCreations = &record;
}

ModalDialog* TakePendingCreation() {
  const DWORD thread = GetCurrentThreadId();
  CriticalSectionGuard lock(CreationListLock());
  PendingCreation** link =
      FindLink([thread](const PendingCreation& record) { return record.threadId == thread; });
  PendingCreation* record = *link;
  if (!record) return nullptr;
  *link = record->next;
  record->next = nullptr;
  return record->dialog;
}

void ForgetPendingCreation(PendingCreation& record) {
  CriticalSectionGuard lock(CreationListLock());
  PendingCreation** link =
      FindLink([&record](const PendingCreation& entry) { return &entry == &record; });
  if (*link) *link = record.next;
  record.next = nullptr;
}

}  // namespace zx
