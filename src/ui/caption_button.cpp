#include "ui/caption_button.h"

#include "ui/gdi_tools.h"

namespace zx {
namespace {

void DrawGlyph(HDC dc, int hitCode, const RECT& box, COLORREF color) {
  const LONG l = box.left, t = box.top, r = box.right, b = box.bottom;
  switch (hitCode) {
    case HTCLOSE:  // a cross of doubled strokes
      DrawSegments(dc, color,
                   {{{l + 3, t + 3}, {r - 4, b - 3}},
                    {{l + 4, t + 3}, {r - 3, b - 3}},
                    {{r - 4, t + 3}, {l + 3, b - 3}},
                    {{r - 5, t + 3}, {l + 2, b - 3}}});
      break;
    case HTMINBUTTON:  // a bar two pixels high
      DrawSegments(dc, color, {{{l + 3, t + 8}, {r - 5, t + 8}}, {{l + 3, t + 9}, {r - 5, t + 9}}});
      break;
    case HTMAXBUTTON:  // a box with a doubled top edge
      FrameSolid(dc, RECT{l + 3, t + 3, r - 3, b - 3}, color);
      DrawSegments(dc, color, {{{l + 3, t + 4}, {r - 3, t + 4}}});
      break;
  }
}

}  // namespace

void DrawCaptionButton(HDC dc, const CaptionButton& button, const FramePalette& palette,
                       bool hot) {
  FillSolid(dc, button.rect, hot ? palette.hotButtonFace : palette.buttonFace);
  FrameSolid(dc, button.rect, palette.buttonOutline);
  DrawGlyph(dc, button.hitCode, button.rect, palette.base);
}

}  // namespace zx
