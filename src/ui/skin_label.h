#pragma once
// SkinLabel: a static text drawn transparently in black, left-aligned and
// vertically centred on one line, so the dialog's background shows through.
#include <windows.h>

#include "ui/window_object.h"

namespace zx {

class SkinLabel : public WindowObject {
 public:
  // Subclasses an existing static control and remembers its client area.
  BOOL Attach(HWND label);

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void Paint(HDC dc) const;

  RECT m_textRect{};
};

}  // namespace zx
