#include "ui/frame_palette.h"

#include "ui/adjust_color.h"

namespace zx {

FramePalette MakeFramePalette(ColorRef base) {
  FramePalette palette;
  palette.base = base;
  palette.innerBorder = AdjustColor(base, 70, 0);
  palette.topStrip = AdjustColor(base, 80, 0);
  palette.activeTop = AdjustColor(base, 70, 30);
  palette.activeBottom = AdjustColor(base, 99, 20);
  palette.inactiveTop = AdjustColor(base, 99, 30);
  palette.inactiveBottom = AdjustColor(base, 70, 20);
  palette.buttonFace = AdjustColor(base, 85, 30);
  palette.hotButtonFace = AdjustColor(base, 100, 30);
  palette.buttonOutline = AdjustColor(base, 50, 30);
  return palette;
}

}  // namespace zx
