#pragma once
// The module whose resources (dialog template, bitmaps) the windows load.
#include <windows.h>

namespace zx {

// The DLL's own instance once it is attached; a program that links the
// window layer statically (the tests) loads them from its executable.
HINSTANCE ResourceInstance();

}  // namespace zx
