// What the scan-path methods' parameters do to the dialog: its place, its
// caption and prompt, and which of them stay for later calls.
#include <algorithm>
#include <vector>

#include "picker_test.h"
#include "res/resource_ids.h"
#include "window_image.h"

namespace zx::test {
namespace {

using ScanPathSettings = PickerTest;

RECT WorkArea() {
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

POINT CentreOf(const RECT& rect) {
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// A coordinate as a script passes it: text turned into the type; none for
// VT_EMPTY, an omitted argument for VT_ERROR.
UniqueVariant Coordinate(VARTYPE type, const wchar_t* text) {
  UniqueVariant value;
  VARIANT* slot = value.Put();
  if (type == VT_ERROR) {
    V_VT(slot) = VT_ERROR;
    V_ERROR(slot) = DISP_E_PARAMNOTFOUND;
  } else if (text) {
    V_VT(slot) = VT_BSTR;
    V_BSTR(slot) = SysAllocString(text);
    VariantChangeType(slot, slot, 0, type);
  }
  return value;
}

// Rows run in order on one object, so each meets what earlier calls left.
TEST_F(ScanPathSettings, APositionIsUsedWhenItPutsTheDialogOnAMonitorElseItIsCentred) {
  const RECT area = WorkArea();
  const RECT pages[] = {{260, 180, 900, 760},
                        {area.right - 100, area.bottom - 80, area.right + 60, area.bottom + 40}};
  HWND pageWindows[2];
  for (int i = 0; i < 2; ++i) {
    const RECT& r = pages[i];
    pageWindows[i] =
        CreateWindowExW(0, L"STATIC", L"page", WS_POPUP | WS_VISIBLE, r.left, r.top,
                        r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
  }
  enum Place { kAt, kCentredOnPage, kCentredOnWorkArea, kInWorkAreaCorner };
  const struct {
    const char* name;
    int page;      // from this row on, the site's window is pages[page - 1]; 0: as before
    VARTYPE type;  // VT_EMPTY: no position argument at all
    const wchar_t *x, *y;
    VARIANT_BOOL relative;
    Place place;
    POINT at{};
  } showings[] = {
      {"no site, no position", 0, VT_EMPTY, nullptr, nullptr, 0, kCentredOnWorkArea},
      {"screen coordinates", 0, VT_I4, L"150", L"130", 0, kAt, {150, 130}},
      {"kept for later calls", 0, VT_EMPTY, nullptr, nullptr, 0, kAt, {150, 130}},
      {"16-bit integers", 0, VT_I2, L"151", L"131", 0, kAt, {151, 131}},
      {"reals", 0, VT_R8, L"152", L"132", 0, kAt, {152, 132}},
      {"numeric text", 0, VT_BSTR, L"153", L"133", 0, kAt, {153, 133}},
      {"no number", 0, VT_BSTR, L"left", L"130", 0, kCentredOnWorkArea},
      {"omitted", 0, VT_ERROR, nullptr, nullptr, 0, kCentredOnWorkArea},
      {"on no monitor", 0, VT_I4, L"-5000", L"-5000", 0, kCentredOnWorkArea},
      {"relative without an owner", 0, VT_I4, L"0", L"0", VARIANT_TRUE, kCentredOnWorkArea},
      {"relative to the page", 1, VT_I4, L"0", L"0", VARIANT_TRUE, kAt, {260, 180}},
      {"offset from the page", 0, VT_I4, L"40", L"-30", VARIANT_TRUE, kAt, {300, 150}},
      {"centred on the page", 0, VT_ERROR, nullptr, nullptr, 0, kCentredOnPage},
      {"pulled inside the work area", 2, VT_ERROR, nullptr, nullptr, 0, kInWorkAreaCorner},
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
    Outcome outcome;
    ShowScanPath(
        [&](BSTR* text) {
          if (showing.type == VT_EMPTY)
            return m_scanPicker->GetOpenFileNameEx(0, nullptr, nullptr, 0, text);
          return m_scanPicker->GetOpenFileNameEx2(
              0, nullptr, nullptr, 0, Coordinate(showing.type, showing.x).Get(),
              Coordinate(showing.type, showing.y).Get(), showing.relative, {}, text);
        },
        outcome,
        [&](HWND dialog, const TreeUser&) {
          GetWindowRect(dialog, &bounds);
          owner = GetWindow(dialog, GW_OWNER);
          ClickControl(dialog, IDCANCEL);
        });
    EXPECT_EQ(outcome.hr, S_FALSE);
    EXPECT_EQ(owner, page ? pageWindows[page - 1] : nullptr);
    const POINT centre = CentreOf(bounds);
    const POINT wanted = CentreOf(showing.place == kCentredOnPage ? pages[page - 1] : area);
    switch (showing.place) {
      case kAt:
        EXPECT_TRUE(bounds.left == showing.at.x && bounds.top == showing.at.y)
            << bounds.left << "," << bounds.top;
        break;
      case kInWorkAreaCorner:
        EXPECT_TRUE(bounds.right == area.right && bounds.bottom == area.bottom);
        break;
      default:
        EXPECT_TRUE(abs(centre.x - wanted.x) <= 1 && abs(centre.y - wanted.y) <= 1)
            << centre.x << "," << centre.y;
    }
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
    Outcome outcome;
    ShowScanPath(
        [&](BSTR* text) {
          return m_scanPicker->GetOpenFileNameEx(0, caption.Get(), subtitle.Get(), 0, text);
        },
        outcome,
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
