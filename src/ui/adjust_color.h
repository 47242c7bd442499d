#pragma once
// Derives a lighter (or darker) shade of a colour in HSL space. Hue,
// lightness and saturation are quantised to bytes on the way, so even
// AdjustColor(c, 0, 0) may differ slightly from c.
#include "ui/color_ref.h"

namespace zx {

// A positive percent moves lightness (saturation) that far towards full, a
// negative one scales it down; both percents are clamped to -100..100.
ColorRef AdjustColor(ColorRef color, int lightnessPercent, int saturationPercent);

}  // namespace zx
