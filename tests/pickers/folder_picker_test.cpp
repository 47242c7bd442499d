// The single-folder picker: the shell's browse dialog driven as a person
// would, and the owner window learnt from the page's site.
#include <ocidl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win_resources.h"
#include "support/fake_site.h"
#include "picker_fixture.h"
#include "picker_session.h"
#include "picker_windows.h"
#include "remote_tree_view.h"
#include "tree_user.h"
#include "window_image.h"

namespace zx::test {
namespace {

// The browse dialog's new-folder button (hidden by the picker's flags).
constexpr int kNewFolderButton = 14150;

struct PickOutcome {
  HRESULT hr = E_FAIL;
  BSTR path = kUntouched;
  ~PickOutcome() {
    if (path != kUntouched) SysFreeString(path);
  }
};

using BrowseUser = std::function<void(HWND dialog, const RemoteTreeView& tree)>;

class FolderPickerTest : public PickerTest {
 protected:
  void SetUp() override {
    PickerTest::SetUp();
    m_picker = NewFolderPicker();
    ASSERT_TRUE(m_picker);
  }

  void Pick(const BrowseUser& user, PickOutcome& outcome, BSTR prompt = nullptr) {
    RunWithUser([&] { outcome.hr = m_picker->GetOpenFileName(prompt, &outcome.path); },
                [&] {
                  const HWND dialog = WaitForBrowseDialog(GetCurrentProcessId());
                  ASSERT_TRUE(dialog) << "the browse dialog did not show";
                  const RemoteTreeView tree(TreeOf(dialog));
                  ASSERT_TRUE(tree.IsUsable());
                  ASSERT_TRUE(WaitUntil([&] { return tree.Root() && tree.Child(tree.Root()); }));
                  user(dialog, tree);
                });
  }

  // Selects the item at the end of names (below the desktop) with a click on
  // its text and presses OK.
  void PickItem(const std::vector<std::wstring>& names, PickOutcome& outcome) {
    Pick(
        [&](HWND dialog, const RemoteTreeView& tree) {
          const HTREEITEM item = OpenPath(tree, nullptr, names);
          ASSERT_TRUE(item);
          ClickAt(tree.Handle(), *tree.PointOn(item, TVHT_ONITEMLABEL));
          ASSERT_TRUE(WaitUntil([&] { return tree.Caret() == item; }));
          PushButton(dialog, IDOK);
        },
        outcome);
  }

  void SetSite(const FakeSite::Offer* offer) {
    ComPtr<IObjectWithSite> withSite;
    ASSERT_EQ(m_picker.As(&withSite), S_OK);
    ComPtr<FakeSite> site;
    if (offer) site.Attach(new FakeSite(*offer));
    EXPECT_EQ(withSite->SetSite(static_cast<IServiceProvider*>(site.Get())), S_OK);
  }

  // The owner of the browse dialog of one cancelled showing.
  HWND OwnerOfBrowseDialog() {
    HWND owner = nullptr;
    PickOutcome outcome;
    Pick(
        [&](HWND dialog, const RemoteTreeView&) {
          owner = GetWindow(dialog, GW_OWNER);
          PushButton(dialog, IDCANCEL);
        },
        outcome);
    return owner;
  }

  ComPtr<IZevFileDialog> m_picker;
};

TEST_F(FolderPickerTest, CancellingGivesNullAndOk) {
  PickOutcome outcome;
  Pick([](HWND dialog, const RemoteTreeView&) { PushButton(dialog, IDCANCEL); }, outcome);
  EXPECT_EQ(outcome.hr, S_OK);
  EXPECT_EQ(outcome.path, nullptr);
}

TEST_F(FolderPickerTest, ShowsThePromptAnEditBoxAndNoNewFolderButton) {
  const UniqueBstr prompt(SysAllocString(L"Pick the folder to scan"));
  PickOutcome outcome;
  Pick(
      [](HWND dialog, const RemoteTreeView&) {
        EXPECT_TRUE(FindWindowExW(dialog, nullptr, L"Static", L"Pick the folder to scan"));
        const HWND edit = FindWindowExW(dialog, nullptr, L"Edit", nullptr);
        EXPECT_TRUE(edit && IsWindowVisible(edit));
        const HWND newFolder = GetDlgItem(dialog, kNewFolderButton);
        EXPECT_FALSE(newFolder && IsWindowVisible(newFolder));
        PushButton(dialog, IDCANCEL);
      },
      outcome, prompt.Get());
  EXPECT_EQ(outcome.path, nullptr);
}

TEST_F(FolderPickerTest, PickingAFolderGivesItsPath) {
  PickOutcome outcome;
  PickItem({L"My Computer", L"C:", L"ZxScan", L"Beta"}, outcome);
  EXPECT_EQ(outcome.hr, S_OK);
  EXPECT_EQ(TextOf(outcome.path), L"C:\\ZxScan\\Beta");
}

TEST_F(FolderPickerTest, PickingAFileGivesItsFullPath) {
  PickOutcome outcome;
  PickItem({L"My Computer", L"C:", L"ZxScan", L"notes.txt"}, outcome);
  EXPECT_EQ(outcome.hr, S_OK);
  EXPECT_EQ(TextOf(outcome.path), L"C:\\ZxScan\\notes.txt");
}

TEST_F(FolderPickerTest, ADriveRootKeepsItsBackslash) {
  PickOutcome outcome;
  PickItem({L"My Computer", L"C:"}, outcome);
  EXPECT_EQ(outcome.hr, S_OK);
  EXPECT_EQ(TextOf(outcome.path), L"C:\\");
}

TEST_F(FolderPickerTest, AnItemWithoutPathGivesAnEmptyString) {
  PickOutcome outcome;
  PickItem({L"My Computer"}, outcome);
  EXPECT_EQ(outcome.hr, S_OK);
  ASSERT_NE(outcome.path, nullptr);
  ASSERT_NE(outcome.path, kUntouched);
  EXPECT_EQ(SysStringLen(outcome.path), 0u);
}

TEST_F(FolderPickerTest, TheSitesShellBrowserWindowOwnsTheDialog) {
  const HWND page = CreateWindowExW(0, L"STATIC", L"page", WS_POPUP | WS_VISIBLE, 100, 100, 600,
                                    500, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(OwnerOfBrowseDialog(), nullptr);
  FakeSite::Offer offer;
  offer.window = page;
  SetSite(&offer);
  EXPECT_EQ(OwnerOfBrowseDialog(), page);
  // Neither a null site nor one outside a browser forgets the window.
  SetSite(nullptr);
  EXPECT_EQ(OwnerOfBrowseDialog(), page);
  FakeSite::Offer noBrowser = offer;
  noBrowser.browser = false;
  SetSite(&noBrowser);
  EXPECT_EQ(OwnerOfBrowseDialog(), page);
  FakeSite::Offer noShellBrowser = offer;
  noShellBrowser.shellBrowser = false;
  SetSite(&noShellBrowser);
  EXPECT_EQ(OwnerOfBrowseDialog(), page);
  // A shell browser without a window leaves the dialog without an owner.
  FakeSite::Offer noWindow;
  SetSite(&noWindow);
  EXPECT_EQ(OwnerOfBrowseDialog(), nullptr);
  DestroyWindow(page);
}

TEST_F(FolderPickerTest, GetSiteIsNotImplementedByEitherPicker) {
  ComPtr<IObjectWithSite> folderSite;
  ComPtr<IObjectWithSite> scanSite;
  ASSERT_EQ(m_picker.As(&folderSite), S_OK);
  ASSERT_EQ(NewScanPathPicker().As(&scanSite), S_OK);
  for (IObjectWithSite* withSite : {folderSite.Get(), scanSite.Get()}) {
    void* untouched = kUntouched;
    EXPECT_EQ(withSite->GetSite(IID_IUnknown, &untouched), E_NOTIMPL);
    EXPECT_EQ(untouched, static_cast<void*>(kUntouched));
  }
}

TEST_F(FolderPickerTest, SavesAScreenshot) {
  const UniqueBstr prompt(SysAllocString(L"Pick the folder to scan"));
  PickOutcome outcome;
  Pick(
      [](HWND dialog, const RemoteTreeView& tree) {
        const HTREEITEM scan = OpenPath(tree, nullptr, {L"My Computer", L"C:", L"ZxScan"});
        ASSERT_TRUE(scan);
        ExpandByClick(tree, scan);
        ClickAt(tree.Handle(), *tree.PointOn(scan, TVHT_ONITEMLABEL));
        Sleep(300);  // the dialog's thread repaints meanwhile
        EXPECT_TRUE(WindowImage::Capture(dialog).SaveBmp(ScreenshotPath(L"folder_picker.bmp")));
        PushButton(dialog, IDCANCEL);
      },
      outcome, prompt.Get());
}

}  // namespace
}  // namespace zx::test
