// What the scan-path methods' parameters do to the dialog: its place, its
// caption and prompt, and which of them stay for later calls.
#include <algorithm>
#include <optional>
#include <vector>

#include "harness/dispatch_call.h"
#include "picker_test.h"
#include "res/resource_ids.h"
#include "ui/window_centring.h"
#include "window_image.h"

namespace zx::test {
namespace {

using ScanPathSettings = PickerTest;

PixelRect ToPixelRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// Rows run in order on one object, so each meets what earlier calls left.
// Without a usable position the dialog is centred on its owner, or on the
// work area without one, and pulled inside the work area.
TEST_F(ScanPathSettings, APositionIsUsedWhenItPutsTheDialogOnAMonitorElseItIsCentred) {
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  const RECT pages[] = {{260, 180, 900, 760},
                        {area.right - 100, area.bottom - 80, area.right + 60, area.bottom + 40}};
  std::vector<HWND> pageWindows;
  for (const RECT& r : pages) {
    pageWindows.push_back(CreateWindowExW(0, L"STATIC", L"page", WS_POPUP | WS_VISIBLE, r.left,
                                          r.top, r.right - r.left, r.bottom - r.top, nullptr,
                                          nullptr, nullptr, nullptr));
  }
  using namespace variant;
  const struct {
    const char* name;
    int page;      // from this row on, the site's window is pages[page - 1]; 0: as before
    VARIANT x, y;  // empty: GetOpenFileNameEx, which takes no position
    bool relative;
    std::optional<POINT> at;  // none: centred
  } showings[] = {
      {"no site, no position", 0, Empty(), Empty(), false, {}},
      {"screen coordinates", 0, Int(150), Int(130), false, POINT{150, 130}},
      {"kept for later calls", 0, Empty(), Empty(), false, POINT{150, 130}},
      {"16-bit integers", 0, Short(151), Short(131), false, POINT{151, 131}},
      {"reals", 0, Real(152), Real(132), false, POINT{152, 132}},
      {"numeric text", 0, Text(L"153"), Text(L"133"), false, POINT{153, 133}},
      {"no number", 0, Text(L"left"), Int(130), false, {}},
      {"omitted", 0, Omitted(), Omitted(), false, {}},
      {"on no monitor", 0, Int(-5000), Int(-5000), false, {}},
      {"relative without an owner", 0, Int(0), Int(0), true, {}},
      {"relative to the page", 1, Int(0), Int(0), true, POINT{260, 180}},
      {"offset from the page", 0, Int(40), Int(-30), true, POINT{300, 150}},
      {"centred on the page", 0, Omitted(), Omitted(), false, {}},
      {"pulled inside the work area", 2, Omitted(), Omitted(), false, {}},
  };
  int page = 0;
  for (const auto& showing : showings) {
    SCOPED_TRACE(showing.name);
    if (showing.page) {
      page = showing.page;
      FakeSite::Offer offer;
      offer.window = pageWindows[page - 1];
      GiveSite(m_scanPicker.Get(), &offer);
    }
    RECT bounds{};
    HWND owner = nullptr;
    ShowScanPath(
        [&](BSTR* text) {
          // Through the interface: late binding needs the type library
          // registered, which the registry tests running beside this one
          // take away and put back.
          if (V_VT(&showing.x) == VT_EMPTY)
            return m_scanPicker->GetOpenFileNameEx(0, nullptr, nullptr, 0, text);
          return m_scanPicker->GetOpenFileNameEx2(VARIANT_FALSE, nullptr, nullptr, 0, showing.x,
                                                  showing.y, showing.relative ? VARIANT_TRUE
                                                                              : VARIANT_FALSE,
                                                  Empty(), text);
        },
        [&](HWND dialog, const TreeUser&) {
          GetWindowRect(dialog, &bounds);
          owner = GetWindow(dialog, GW_OWNER);
          ClickControl(dialog, IDCANCEL);
        });
    EXPECT_EQ(owner, page ? pageWindows[page - 1] : nullptr);
    const PixelPoint centred =
        CentredOrigin(ToPixelRect(page ? pages[page - 1] : area), ToPixelRect(area),
                      bounds.right - bounds.left, bounds.bottom - bounds.top);
    const POINT wanted = showing.at.value_or(POINT{centred.x, centred.y});
    EXPECT_TRUE(bounds.left == wanted.x && bounds.top == wanted.y)
        << bounds.left << "," << bounds.top << " instead of " << wanted.x << "," << wanted.y;
  }
  for (const HWND window : pageWindows) DestroyWindow(window);
}

// Whether two captures show the same caption band: below the top border
// down to the caption's bottom line.
bool SameCaption(const WindowImage& a, const WindowImage& b) {
  for (int y = 3; y < 24; ++y) {
    for (int x = 0; x < std::max(a.Width(), b.Width()); ++x) {
      if (a.At(x, y) != b.At(x, y)) return false;
    }
  }
  return true;
}

// The caption is painted by the frame, so it is compared as painted.
TEST_F(ScanPathSettings, CaptionAndSubtitleReplaceTheTemplatesAndStayUntilGivenAgain) {
  const struct {
    const wchar_t *caption, *subtitle, *prompt;
    int sameCaptionAs;  // the earlier showing whose caption this one shows; -1: a new one
  } showings[] = {
      {nullptr, nullptr, L"请选择扫描路径:", 0},
      {L"Scan these places", L"Pick what to scan", L"Pick what to scan", -1},
      {nullptr, nullptr, L"Pick what to scan", 1},
      {L"", nullptr, L"Pick what to scan", 0},  // an empty caption brings the template's back
  };
  std::vector<WindowImage> captions;
  for (const auto& showing : showings) {
    const UniqueBstr caption(showing.caption ? SysAllocString(showing.caption) : nullptr);
    const UniqueBstr subtitle(showing.subtitle ? SysAllocString(showing.subtitle) : nullptr);
    ShowScanPath(
        [&](BSTR* text) {
          return m_scanPicker->GetOpenFileNameEx(0, caption.Get(), subtitle.Get(), 0, text);
        },
        [&](HWND dialog, const TreeUser&) {
          wchar_t text[64] = {};
          GetDlgItemTextW(dialog, IDC_SCAN_PROMPT, text, 64);
          EXPECT_STREQ(text, showing.prompt);
          GetWindowTextW(dialog, text, 64);
          EXPECT_STREQ(text, L"选择扫描路径") << "the window text stays the template's";
          SendMessageW(dialog, WM_NCPAINT, 1, 0);
          captions.push_back(WindowImage::Capture(dialog));
          ClickControl(dialog, IDCANCEL);
        });
    ASSERT_EQ(captions.size(), &showing - showings + 1u);
    const int same = showing.sameCaptionAs;
    EXPECT_EQ(SameCaption(captions.back(), captions[same < 0 ? 0 : same]), same >= 0)
        << captions.size();
  }
}

}  // namespace
}  // namespace zx::test
