#pragma once
// Where the skinned caption places its close, maximise and minimise buttons.
#include "ui/pixel_rect.h"

namespace zx {

struct CaptionMetrics {
  int borderWidth;
  int captionHeight;
};

// The window's caption-related style bits, as the layout needs them.
struct CaptionBoxes {
  bool sysMenu;
  bool maximiseBox;
  bool minimiseBox;
};

struct CaptionPlacement {
  bool visible = false;
  PixelRect rect;  // window coordinates, origin at the window's top-left corner
};

struct CaptionLayout {
  CaptionPlacement close;
  CaptionPlacement maximise;
  CaptionPlacement minimise;
};

// clientLeft..clientRight is the client span of the system's default frame
// calculation; buttons line up from its right end, close outermost.
CaptionLayout LayOutCaptionButtons(const CaptionMetrics& metrics, int clientLeft,
                                   int clientRight, const CaptionBoxes& boxes);

}  // namespace zx
