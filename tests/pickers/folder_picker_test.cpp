// The single-folder picker: the shell's browse dialog driven as a person
// would, and the owner window both pickers learn from the page's site.
#include <iterator>

#include "common/win_resources.h"
#include "picker_test.h"

namespace zx::test {
namespace {

using FolderPicker = PickerTest;

TEST_F(FolderPicker, GivesThePathOfWhatIsPickedNullWhenCancelled) {
  const struct {
    std::vector<std::wstring> names;  // below the desktop; none: Cancel
    const wchar_t* path;
  } picks[] = {
      {{}, L"<null>"},
      {{L"My Computer", L"C:", L"ZxScan", L"notes.txt"}, L"C:\\ZxScan\\notes.txt"},
      {{L"My Computer", L"C:"}, L"C:\\"},
      {{L"My Computer"}, L""},  // an item without a path
  };
  const UniqueBstr prompt(SysAllocString(L"Pick the folder to scan"));
  for (const auto& pick : picks) {
    Outcome outcome;
    RunWithUser(
        [&](BSTR* path) { return m_folderPicker->GetOpenFileName(prompt.Get(), path); }, outcome,
        [&](HWND dialog) {
          EXPECT_TRUE(FindWindowExW(dialog, nullptr, L"Static", L"Pick the folder to scan"));
          EXPECT_TRUE(IsWindowVisible(FindWindowExW(dialog, nullptr, L"Edit", nullptr)));
          EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, 14150))) << "the new-folder button";
          if (!pick.names.empty()) {
            const TreeUser tree(dialog);
            std::vector<std::wstring> names = {L"Desktop"};
            names.insert(names.end(), pick.names.begin(), pick.names.end());
            EXPECT_TRUE(tree.ClickLabel(tree.Open(names)));
          }
          PushButton(dialog, pick.names.empty() ? IDCANCEL : IDOK);
        },
        false);
    EXPECT_EQ(outcome.hr, S_OK);
    EXPECT_EQ(outcome.Text(), pick.path);
  }
}

// Neither a null site nor one outside a browser makes a picker forget the window.
TEST_F(FolderPicker, TheSitesShellBrowserWindowOwnsTheDialog) {
  const HWND page = CreateWindowExW(0, L"STATIC", L"page", WS_POPUP | WS_VISIBLE, 100, 100, 600,
                                    500, nullptr, nullptr, nullptr, nullptr);
  FakeSite::Offer offer, noBrowser, noShellBrowser, noWindow;
  offer.window = noBrowser.window = noShellBrowser.window = page;
  noBrowser.browser = noShellBrowser.shellBrowser = false;
  const std::pair<const FakeSite::Offer*, HWND> sites[] = {{&offer, page},
                                                           {nullptr, page},
                                                           {&noBrowser, page},
                                                           {&noShellBrowser, page},
                                                           {&noWindow, nullptr}};
  for (size_t row = 0; row < std::size(sites); ++row) {
    const auto& [site, owner] = sites[row];
    SCOPED_TRACE(row);
    GiveSite(m_folderPicker.Get(), site);
    HWND shownOwner = nullptr;
    Outcome outcome;
    RunWithUser([&](BSTR* path) { return m_folderPicker->GetOpenFileName(nullptr, path); }, outcome,
                [&](HWND dialog) {
                  shownOwner = GetWindow(dialog, GW_OWNER);
                  PushButton(dialog, IDCANCEL);
                },
                false);
    EXPECT_EQ(shownOwner, owner);
  }
  DestroyWindow(page);
}

}  // namespace
}  // namespace zx::test
