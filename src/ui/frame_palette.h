#pragma once
// Every colour of the skinned frame, derived from its one base colour.
#include "ui/color_ref.h"

namespace zx {

struct FramePalette {
  ColorRef base;            // outer frame, caption text, caption button glyphs
  ColorRef innerBorder;     // two inner frame lines, caption bottom line
  ColorRef topStrip;        // outline of the strip above the caption
  ColorRef activeTop;       // caption gradient while active
  ColorRef activeBottom;
  ColorRef inactiveTop;     // caption gradient while inactive
  ColorRef inactiveBottom;
  ColorRef buttonFace;      // caption button, normal
  ColorRef hotButtonFace;   // caption button under the pointer
  ColorRef buttonOutline;
};

FramePalette MakeFramePalette(ColorRef base);

}  // namespace zx
