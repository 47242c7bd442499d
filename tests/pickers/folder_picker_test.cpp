// The single-folder picker: the shell's browse dialog driven as a person
// would, owned by the window the page's site gives.
#include "common/win_resources.h"
#include "picker_test.h"
#include "support/fake_site.h"

namespace zx::test {
namespace {

using FolderPicker = PickerTest;

// Rows run in order on one object: each gives the picker a site, then picks.
// Neither a null site nor one outside a browser makes the picker forget the
// window it learnt; a shell browser without a window clears it.
TEST_F(FolderPicker, GivesThePathOfWhatIsPickedInADialogTheSitesWindowOwns) {
  const HWND page = CreateWindowExW(0, L"STATIC", L"page", WS_POPUP | WS_VISIBLE, 100, 100, 600,
                                    500, nullptr, nullptr, nullptr, nullptr);
  FakeSite::Offer browser, noBrowser, noShellBrowser, noWindow;
  browser.window = page;  // the others offer none: a picker asking them would lose the page
  noBrowser.browser = noShellBrowser.shellBrowser = false;
  const struct {
    const FakeSite::Offer* site;      // null: no site at all
    std::vector<std::wstring> names;  // below the desktop; none: Cancel
    const wchar_t* path;
    HWND owner;
  } picks[] = {
      {&browser, {}, L"<null>", page},
      {nullptr, {L"My Computer", L"C:", L"ZxScan", L"notes.txt"}, L"C:\\ZxScan\\notes.txt", page},
      {&noBrowser, {L"My Computer", L"C:"}, L"C:\\", page},
      {&noShellBrowser, {L"My Computer"}, L"", page},  // an item without a path
      {&noWindow, {}, L"<null>", nullptr},
  };
  const UniqueBstr prompt(SysAllocString(L"Pick the folder to scan"));
  for (const auto& pick : picks) {
    SCOPED_TRACE(&pick - picks);
    EXPECT_EQ(GiveSite(m_folderPicker.Get(), pick.site), S_OK);
    const Outcome outcome = RunWithUser(
        [&](BSTR* path) { return m_folderPicker->GetOpenFileName(prompt.Get(), path); },
        Picker::kBrowse,
        [&](HWND dialog) {
          EXPECT_EQ(GetWindow(dialog, GW_OWNER), pick.owner);
          EXPECT_TRUE(FindWindowExW(dialog, nullptr, L"Static", L"Pick the folder to scan"));
          EXPECT_TRUE(IsWindowVisible(FindWindowExW(dialog, nullptr, L"Edit", nullptr)));
          EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, 14150))) << "the new-folder button";
          if (!pick.names.empty()) {
            const TreeUser tree(dialog);
            std::vector<std::wstring> names = {L"Desktop"};
            names.insert(names.end(), pick.names.begin(), pick.names.end());
            EXPECT_TRUE(tree.ClickLabel(tree.Open(names)));
          }
          ClickControl(dialog, pick.names.empty() ? IDCANCEL : IDOK);
        });
    EXPECT_EQ(outcome.hr, S_OK);
    EXPECT_EQ(outcome.text, pick.path);
  }
  DestroyWindow(page);
}

}  // namespace
}  // namespace zx::test
