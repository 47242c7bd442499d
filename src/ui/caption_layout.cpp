#include "ui/caption_layout.h"

namespace zx {

CaptionLayout LayOutCaptionButtons(const CaptionMetrics& metrics, int clientLeft,
                                   int clientRight, const CaptionBoxes& boxes) {
  const int bw = metrics.borderWidth;
  const int cap = metrics.captionHeight;
  const int width = cap * 3 / 4;
  const int top = (cap + bw) / 4;
  const int bottom = top + cap * 2 / 3;
  int x = clientRight - 2 * bw - clientLeft;

  CaptionLayout layout;
  layout.close = {boxes.sysMenu, {x - width, top, x, bottom}};
  if (boxes.maximiseBox) {
    x -= width + bw;
    layout.maximise = {true, {x - width, top, x, bottom}};
  }
  const int minimiseRight = x - (width + bw);
  layout.minimise = {boxes.minimiseBox, {minimiseRight - width, top, minimiseRight, bottom}};
  return layout;
}

}  // namespace zx
