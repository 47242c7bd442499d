#include "ui/window_centring.h"

namespace zx {
namespace {

// One axis: centre on [refStart, refEnd), then clamp into [areaStart, areaEnd).
int CentredStart(int refStart, int refEnd, int areaStart, int areaEnd, int size) {
  const int start = (refStart + refEnd) / 2 - size / 2;
  if (start < areaStart) return areaStart;
  if (start + size > areaEnd) return areaEnd - size;
  return start;
}

}  // namespace

PixelPoint CentredOrigin(const PixelRect& reference, const PixelRect& workArea, int width,
                         int height) {
  return {CentredStart(reference.left, reference.right, workArea.left, workArea.right, width),
          CentredStart(reference.top, reference.bottom, workArea.top, workArea.bottom, height)};
}

}  // namespace zx
