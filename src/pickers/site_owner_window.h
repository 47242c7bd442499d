#pragma once
// How both pickers learn the page's window from the site their host gives
// them, to own their dialogs.
#include <windows.h>
#include <unknwn.h>

namespace zx {

// Asks the site for the browser and then the shell browser's window.
// owner stays as it is when the site is null, offers no service provider or
// no browser; it becomes null when the shell browser gives no window.
void LearnOwnerWindow(IUnknown* site, HWND& owner);

}  // namespace zx
