#pragma once
// Where a dialog goes when it is centred: on its parent window, or on the
// work area when it has none, but never beyond the work area's edges.
#include "ui/pixel_rect.h"

namespace zx {

struct PixelPoint {
  int x = 0;
  int y = 0;
};

// The top-left corner of a width x height window centred on reference and
// then pulled back inside workArea, left and top edges first.
PixelPoint CentredOrigin(const PixelRect& reference, const PixelRect& workArea, int width,
                         int height);

}  // namespace zx
