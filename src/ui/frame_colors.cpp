#include "ui/frame_colors.h"

#include <algorithm>

namespace zx {

namespace {

struct HslBytes {
  int hue;
  int lightness;
  int saturation;
};

HslBytes ToHslBytes(int red, int green, int blue) {
  const int mx = std::max({red, green, blue});
  const int mn = std::min({red, green, blue});
  const float lightness = (mx + mn) / 510.0;
  float hue = 0;
  float saturation = 0;
  if (mx != mn) {
    const float d = mx - mn;
    saturation = lightness <= 0.5 ? d / static_cast<double>(mx + mn)
                                  : d / static_cast<double>(510 - (mx + mn));
    const float cR = (mx - red) / static_cast<double>(d);
    const float cG = (mx - green) / static_cast<double>(d);
    const float cB = (mx - blue) / static_cast<double>(d);
    // On ties the later rule wins.
    if (red == mx) hue = (cB + 6.0 - cG) * 60.0;
    if (green == mx) hue = (cR + 2.0 - cB) * 60.0;
    if (blue == mx) hue = (cG + 4.0 - cR) * 60.0;
    if (hue > 360) hue = hue - 360.0;
  }
  return {static_cast<int>(hue * 255.0 / 360.0), static_cast<int>(lightness * 255.0),
          static_cast<int>(saturation * 255.0)};
}

int AdjustByte(int value, int percent) {
  if (percent > 0) return value + (255 - value) * percent / 100;
  if (percent < 0) return (percent + 100) * value / 100;
  return value;
}

int ChannelByte(float angle, float pv, float qv) {
  if (angle > 360) {
    angle = angle - 360.0;
  } else if (angle < 0) {
    angle = angle + 360.0;
  }
  float v = pv;
  if (angle < 60) {
    v = pv + (static_cast<double>(qv) - pv) * angle / 60.0;
  } else if (angle < 180) {
    v = qv;
  } else if (angle < 240) {
    v = pv + (static_cast<double>(qv) - pv) * (240.0 - angle) / 60.0;
  }
  return static_cast<int>(v * 255.0);
}

ColorRef FromHslBytes(const HslBytes& hsl) {
  const float h = hsl.hue * 360.0 / 255.0;
  const float l = hsl.lightness / 255.0;
  const float s = hsl.saturation / 255.0;
  if (s == 0) return MakeColorRef(hsl.lightness, hsl.lightness, hsl.lightness);
  const float qv = l <= 0.5 ? static_cast<double>(l) * s + l
                            : (static_cast<double>(l) + s) - static_cast<double>(l) * s;
  const float pv = 2.0 * l - qv;
  return MakeColorRef(ChannelByte(h + 120.0, pv, qv), ChannelByte(h, pv, qv),
                      ChannelByte(h - 120.0, pv, qv));
}

}  // namespace

ColorRef AdjustColor(ColorRef color, int lightnessPercent, int saturationPercent) {
  HslBytes hsl = ToHslBytes(RedOf(color), GreenOf(color), BlueOf(color));
  hsl.lightness = AdjustByte(hsl.lightness, std::clamp(lightnessPercent, -100, 100));
  hsl.saturation = AdjustByte(hsl.saturation, std::clamp(saturationPercent, -100, 100));
  return FromHslBytes(hsl);
}

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
