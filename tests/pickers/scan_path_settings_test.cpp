// What the scan-path methods' parameters do to the dialog: position,
// caption, prompt and owner, and which of them stay for later calls.
#include <ocidl.h>
#include <gtest/gtest.h>

#include "common/win_resources.h"
#include "picker_fixture.h"
#include "picker_windows.h"
#include "res/resource_ids.h"
#include "scan_path_session.h"
#include "support/fake_site.h"
#include "window_image.h"

namespace zx::test {
namespace {

// A visible top-level window standing for the page's browser.
class PageWindow {
 public:
  explicit PageWindow(RECT bounds)
      : m_window(CreateWindowExW(0, L"STATIC", L"page", WS_POPUP | WS_VISIBLE | WS_BORDER,
                                 bounds.left, bounds.top, bounds.right - bounds.left,
                                 bounds.bottom - bounds.top, nullptr, nullptr, nullptr, nullptr)) {}
  ~PageWindow() { DestroyWindow(m_window); }
  HWND Handle() const { return m_window; }

 private:
  HWND m_window;
};

class ScanPathSettingsTest : public PickerTest {
 protected:
  void SetUp() override {
    PickerTest::SetUp();
    m_picker = NewScanPathPicker();
    ASSERT_TRUE(m_picker);
  }

  void GiveSiteWindow(HWND window) {
    ComPtr<IObjectWithSite> withSite;
    ASSERT_EQ(m_picker.As(&withSite), S_OK);
    FakeSite::Offer offer;
    offer.window = window;
    ComPtr<FakeSite> site;
    site.Attach(new FakeSite(offer));
    EXPECT_EQ(withSite->SetSite(static_cast<IServiceProvider*>(site.Get())), S_OK);
  }

  // Shows the dialog, records its window rectangle and owner, cancels.
  RECT ShownBounds(const ScanPathCall& call, HWND* owner = nullptr) {
    RECT bounds{};
    ScanPathOutcome outcome;
    ShowScanPathDialog(
        m_picker.Get(), call,
        [&](HWND dialog, const RemoteTreeView&) {
          GetWindowRect(dialog, &bounds);
          if (owner) *owner = GetWindow(dialog, GW_OWNER);
          ClickControl(dialog, IDCANCEL);
        },
        outcome);
    EXPECT_EQ(outcome.hr, S_FALSE);
    return bounds;
  }

  ComPtr<IZevMultiFileDialog> m_picker;
};

ScanPathCall AtPosition(LONG x, LONG y, VARIANT_BOOL relativeToParent) {
  ScanPathCall call;
  call.explicitPosition = true;
  call.x = IntVariant(x);
  call.y = IntVariant(y);
  call.relativeToParent = relativeToParent;
  return call;
}

RECT WorkArea() {
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

POINT CentreOf(const RECT& rect) {
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

TEST_F(ScanPathSettingsTest, RelativeZeroPutsTheDialogOnThePageWindowsCorner) {
  const PageWindow page({260, 180, 900, 760});
  GiveSiteWindow(page.Handle());
  HWND owner = nullptr;
  const RECT bounds = ShownBounds(AtPosition(0, 0, VARIANT_TRUE), &owner);
  EXPECT_EQ(owner, page.Handle());
  EXPECT_EQ(bounds.left, 260);
  EXPECT_EQ(bounds.top, 180);
  const RECT offset = ShownBounds(AtPosition(40, -30, VARIANT_TRUE));
  EXPECT_EQ(offset.left, 300);
  EXPECT_EQ(offset.top, 150);
}

TEST_F(ScanPathSettingsTest, ScreenCoordinatesPlaceTheDialogAndStayForLaterCalls) {
  const RECT bounds = ShownBounds(AtPosition(150, 130, VARIANT_FALSE));
  EXPECT_EQ(bounds.left, 150);
  EXPECT_EQ(bounds.top, 130);
  // GetOpenFileNameEx on the same object keeps the explicit position.
  const RECT later = ShownBounds(ScanPathCall{});
  EXPECT_EQ(later.left, 150);
  EXPECT_EQ(later.top, 130);
}

TEST_F(ScanPathSettingsTest, WithoutPositionTheDialogIsCentredOnItsVisibleOwner) {
  const PageWindow page({300, 200, 1000, 900});
  GiveSiteWindow(page.Handle());
  const RECT bounds = ShownBounds(ScanPathCall{});
  const POINT centre = CentreOf(bounds);
  EXPECT_NEAR(centre.x, 650, 1);
  EXPECT_NEAR(centre.y, 550, 1);
}

TEST_F(ScanPathSettingsTest, CentringKeepsTheDialogInsideTheWorkArea) {
  const RECT area = WorkArea();
  const PageWindow page({area.right - 100, area.bottom - 80, area.right + 60, area.bottom + 40});
  GiveSiteWindow(page.Handle());
  const RECT bounds = ShownBounds(ScanPathCall{});
  EXPECT_EQ(bounds.right, area.right);
  EXPECT_EQ(bounds.bottom, area.bottom);
}

TEST_F(ScanPathSettingsTest, APositionThatCannotBeAppliedCentresTheDialogOnTheWorkArea) {
  // Relative to a parent the dialog does not have.
  const RECT bounds = ShownBounds(AtPosition(0, 0, VARIANT_TRUE));
  const POINT centre = CentreOf(bounds);
  const POINT areaCentre = CentreOf(WorkArea());
  EXPECT_NEAR(centre.x, areaCentre.x, 1);
  EXPECT_NEAR(centre.y, areaCentre.y, 1);
}

// A script may give a coordinate as any number type or as text; one that
// is missing or no number, or a place on no monitor, centres the dialog.
TEST_F(ScanPathSettingsTest, PositionOfAnyNumberTypeIsUsedAndAnUnusableOneCentres) {
  const auto typed = [](LONG value, VARTYPE type) {
    VARIANT variant = IntVariant(value);
    VariantChangeType(&variant, &variant, 0, type);
    return variant;
  };
  VARIANT omitted;
  VariantInit(&omitted);
  V_VT(&omitted) = VT_ERROR;
  V_ERROR(&omitted) = DISP_E_PARAMNOTFOUND;
  VARIANT word;
  VariantInit(&word);
  V_VT(&word) = VT_BSTR;
  V_BSTR(&word) = SysAllocString(L"left");
  struct Case {
    const char* name;
    VARIANT x, y;
    bool placed;
  } cases[] = {
      {"16-bit integers", typed(150, VT_I2), typed(130, VT_I2), true},
      {"reals", typed(150, VT_R8), typed(130, VT_R8), true},
      {"numeric text", typed(150, VT_BSTR), typed(130, VT_BSTR), true},
      {"no number", word, IntVariant(130), false},
      {"omitted", omitted, omitted, false},
      {"on no monitor", IntVariant(-5000), IntVariant(-5000), false},
  };
  const POINT areaCentre = CentreOf(WorkArea());
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScanPathCall call = AtPosition(0, 0, VARIANT_FALSE);
    call.x = c.x;
    call.y = c.y;
    const RECT bounds = ShownBounds(call);
    if (c.placed) {
      EXPECT_EQ(bounds.left, 150);
      EXPECT_EQ(bounds.top, 130);
    } else {
      EXPECT_NEAR(CentreOf(bounds).x, areaCentre.x, 1);
      EXPECT_NEAR(CentreOf(bounds).y, areaCentre.y, 1);
    }
    VariantClear(&c.x);
    VariantClear(&c.y);
  }
}

TEST_F(ScanPathSettingsTest, SubtitleReplacesThePromptAndStaysWhenNotGivenAgain) {
  const UniqueBstr subtitle(SysAllocString(L"Pick what to scan"));
  std::vector<std::wstring> prompts;
  for (BSTR given : {static_cast<BSTR>(nullptr), subtitle.Get(), static_cast<BSTR>(nullptr)}) {
    ScanPathCall call;
    call.subtitle = given;
    ScanPathOutcome outcome;
    ShowScanPathDialog(
        m_picker.Get(), call,
        [&](HWND dialog, const RemoteTreeView&) {
          wchar_t text[128] = {};
          GetDlgItemTextW(dialog, IDC_SCAN_PROMPT, text, 128);
          prompts.push_back(text);
          ClickControl(dialog, IDCANCEL);
        },
        outcome);
  }
  ASSERT_EQ(prompts.size(), 3u);
  EXPECT_EQ(prompts[0], L"请选择扫描路径:");
  EXPECT_EQ(prompts[1], L"Pick what to scan");
  EXPECT_EQ(prompts[2], L"Pick what to scan");
}

// Whether two captures show the same caption band (below the top border,
// down to the caption's bottom line).
bool SameCaption(const WindowImage& a, const WindowImage& b) {
  constexpr int kCaptionTop = 3;
  constexpr int kCaptionBottom = 24;
  if (a.Width() != b.Width() || a.Height() < kCaptionBottom || b.Height() < kCaptionBottom) {
    return false;
  }
  for (int y = kCaptionTop; y < kCaptionBottom; ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      if (a.At(x, y) != b.At(x, y)) return false;
    }
  }
  return true;
}

// The caption band as painted, for comparing captions without reading them.
class CaptionImages : public ScanPathSettingsTest {
 protected:
  WindowImage CaptionOf(IZevMultiFileDialog* picker, BSTR caption) {
    ScanPathCall call;
    call.caption = caption;
    call.explicitPosition = true;
    call.x = IntVariant(200);
    call.y = IntVariant(150);
    WindowImage image;
    ScanPathOutcome outcome;
    ShowScanPathDialog(
        picker, call,
        [&](HWND dialog, const RemoteTreeView&) {
          // Painted now, on the dialog's thread; the window text stays the template's.
          SendMessageW(dialog, WM_NCPAINT, 1, 0);
          image = WindowImage::Capture(dialog);
          wchar_t text[64] = {};
          GetWindowTextW(dialog, text, 64);
          EXPECT_STREQ(text, L"选择扫描路径");
          ClickControl(dialog, IDCANCEL);
        },
        outcome);
    return image;
  }
};

TEST_F(CaptionImages, NullCaptionKeepsTheEarlierOneAndEmptyBringsBackTheTemplateTitle) {
  const WindowImage fresh = CaptionOf(m_picker.Get(), nullptr);
  const UniqueBstr caption(SysAllocString(L"Scan these places"));
  const WindowImage given = CaptionOf(m_picker.Get(), caption.Get());
  const WindowImage kept = CaptionOf(m_picker.Get(), nullptr);
  const UniqueBstr empty(SysAllocString(L""));
  const WindowImage restored = CaptionOf(m_picker.Get(), empty.Get());
  ASSERT_GT(fresh.Width(), 0);
  EXPECT_FALSE(SameCaption(given, fresh));
  EXPECT_TRUE(SameCaption(kept, given));
  EXPECT_TRUE(SameCaption(restored, fresh));
}

}  // namespace
}  // namespace zx::test
