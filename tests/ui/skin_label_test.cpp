// The skinned prompt label of the dialog of template 105.
#include <gtest/gtest.h>

#include "res/resource_ids.h"
#include "skinned_test_dialog.h"
#include "window_image.h"

namespace zx::test {
namespace {

constexpr COLORREF kBackground = RGB(10, 200, 30);

int CountPixels(const WindowImage& image, COLORREF color) {
  int count = 0;
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) count += image.At(x, y) == color;
  }
  return count;
}

TEST(SkinLabel, BecomesASimpleStatic) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    EXPECT_EQ(GetWindowLongPtrW(dialog.Item(IDC_SCAN_PROMPT), GWL_STYLE) & SS_TYPEMASK,
              SS_SIMPLE);
  });
}

TEST(SkinLabel, DrawsBlackTextOnWhateverIsBehindIt) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    const HWND label = dialog.Item(IDC_SCAN_PROMPT);
    SetWindowTextW(label, L"Scan here");
    const WindowImage image = WindowImage::PrintClient(label, kBackground);
    const int ink = CountPixels(image, RGB(0, 0, 0));
    const int background = CountPixels(image, kBackground);
    EXPECT_GT(ink, 10);
    // Anti-aliasing aside, every pixel is text or untouched background.
    EXPECT_GT(ink + background, image.Width() * image.Height() * 9 / 10);
    EXPECT_EQ(SendMessageW(label, WM_ERASEBKGND, 0, 0), 0);
  });
}

TEST(SkinLabel, EmptyTextPaintsNothing) {
  SkinnedTestDialog().Run([](SkinnedTestDialog& dialog) {
    const HWND label = dialog.Item(IDC_SCAN_PROMPT);
    SetWindowTextW(label, L"");
    const WindowImage image = WindowImage::PrintClient(label, kBackground);
    EXPECT_EQ(CountPixels(image, kBackground), image.Width() * image.Height());
  });
}

}  // namespace
}  // namespace zx::test
