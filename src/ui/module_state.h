#pragma once
// What the window layer keeps for the whole module: where its resources
// come from, and the list of dialogs being created, which hands each dialog
// object to the first message of its window on the thread that started it.
// Several threads may create dialogs at once; a lock of its own guards the
// list.
#include <windows.h>

namespace zx {

// The module whose resources (dialog template, bitmaps) the windows load:
// the DLL, or the executable of a program that links the layer statically.
HINSTANCE ResourceInstance() noexcept;

class ModalDialog;

// Lives inside its dialog object; linked into the list while it waits.
struct PendingCreation {
  ModalDialog* dialog = nullptr;
  DWORD threadId = 0;
  PendingCreation* next = nullptr;
};

// Enters the record, for the calling thread, at the head of the list.
void RegisterPendingCreation(PendingCreation& record, ModalDialog& dialog);
// Unlinks and returns the calling thread's newest entry; null if it has none.
ModalDialog* TakePendingCreation();
// Unlinks the record if no window claimed it (the dialog failed to start).
void ForgetPendingCreation(PendingCreation& record);

}  // namespace zx
