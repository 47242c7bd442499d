// The scan-path dialog driven as a person would: another thread finds it,
// opens levels, clicks boxes, presses keys and buttons.
#include <windows.h>
#include <tlhelp32.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <vector>

#include "common/win_resources.h"
#include "picker_fixture.h"
#include "picker_session.h"
#include "picker_windows.h"
#include "scan_path_session.h"
#include "tree_user.h"
#include "window_image.h"

namespace zx::test {
namespace {

constexpr int kUnchecked = 1;
constexpr int kPartial = 2;
constexpr int kChecked = 3;

class ScanPathDialogTest : public PickerTest {
 protected:
  void SetUp() override {
    PickerTest::SetUp();
    m_picker = NewScanPathPicker();
    ASSERT_TRUE(m_picker);
  }

  void Show(const ScanPathUser& user, ScanPathOutcome& outcome, const ScanPathCall& call = {}) {
    ShowScanPathDialog(m_picker.Get(), call, user, outcome);
  }

  ComPtr<IZevMultiFileDialog> m_picker;
};

// The item of C:\ZxScan, opened.
HTREEITEM OpenZxScan(const RemoteTreeView& tree) {
  const HTREEITEM scan = OpenScanFolder(tree, {L"ZxScan"});
  EXPECT_TRUE(scan && ExpandByClick(tree, scan));
  return scan;
}

HTREEITEM Child(const RemoteTreeView& tree, HTREEITEM parent, const wchar_t* name) {
  const HTREEITEM item = tree.FindChildNamed(parent, name);
  EXPECT_TRUE(item) << "no item " << std::string(name, name + wcslen(name));
  return item;
}

void SaveScreenshot(HWND dialog, const wchar_t* name) {
  RedrawWindow(dialog, nullptr, nullptr,
               RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASE);
  Sleep(300);  // the dialog's thread repaints meanwhile
  EXPECT_TRUE(WindowImage::Capture(dialog).SaveBmp(ScreenshotPath(name)));
}

TEST_F(ScanPathDialogTest, OkListsCheckedFoldersInTreeOrderWithBackslashesDoubled) {
  ScanPathOutcome outcome;
  Show(
      [](HWND dialog, const RemoteTreeView& tree) {
        const HTREEITEM scan = OpenZxScan(tree);
        ASSERT_TRUE(scan);
        EXPECT_TRUE(ClickCheckBox(tree, Child(tree, scan, L"Beta")));
        EXPECT_TRUE(ClickCheckBox(tree, Child(tree, scan, L"Alpha")));
        EXPECT_EQ(tree.CheckIndex(Child(tree, scan, L"Alpha")), kChecked);
        EXPECT_EQ(tree.CheckIndex(Child(tree, scan, L"zeta")), kUnchecked);
        EXPECT_EQ(tree.CheckIndex(scan), kPartial);
        EXPECT_EQ(tree.CheckIndex(DriveItem(tree, L'C')), kPartial);
        EXPECT_EQ(tree.CheckIndex(ComputerItem(tree)), kPartial);
        SaveScreenshot(dialog, L"scan_path_dialog.bmp");
        ClickControl(dialog, IDOK);
      },
      outcome);
  EXPECT_EQ(outcome.hr, S_OK);
  EXPECT_EQ(outcome.Text(),
            LR"({result:{paths:["C:\\ZxScan\\Alpha","C:\\ZxScan\\Beta"],count:2}})");
}

TEST_F(ScanPathDialogTest, ChildrenThatAllAgreeCheckTheirParentWhichIsListedAlone) {
  ScanPathOutcome outcome;
  Show(
      [](HWND dialog, const RemoteTreeView& tree) {
        const HTREEITEM scan = OpenZxScan(tree);
        ASSERT_TRUE(scan);
        for (const wchar_t* name : {L"Alpha", L"Beta", L"KEEP.ZIP"}) {
          EXPECT_TRUE(ClickCheckBox(tree, Child(tree, scan, name)));
          EXPECT_EQ(tree.CheckIndex(scan), kPartial);
        }
        EXPECT_TRUE(ClickCheckBox(tree, Child(tree, scan, L"zeta")));
        EXPECT_EQ(tree.CheckIndex(scan), kChecked);
        // Unchecking one again makes the parent partial once more, then
        // checking it lifts the agreement back up.
        EXPECT_TRUE(ClickCheckBox(tree, Child(tree, scan, L"Beta")));
        EXPECT_EQ(tree.CheckIndex(scan), kPartial);
        EXPECT_TRUE(ClickCheckBox(tree, Child(tree, scan, L"Beta")));
        EXPECT_EQ(tree.CheckIndex(scan), kChecked);
        ClickControl(dialog, IDOK);
      },
      outcome);
  EXPECT_EQ(outcome.hr, S_OK);
  EXPECT_EQ(outcome.Text(), LR"({result:{paths:["C:\\ZxScan"],count:1}})");
}

TEST_F(ScanPathDialogTest, ACheckedDriveListsItsRootAndItsNewChildrenStartChecked) {
  ScanPathOutcome outcome;
  Show(
      [](HWND dialog, const RemoteTreeView& tree) {
        const HTREEITEM drive = DriveItem(tree, L'C');
        ASSERT_TRUE(drive);
        EXPECT_TRUE(ClickLabel(tree, drive));  // the label toggles as well as the box
        EXPECT_EQ(tree.CheckIndex(drive), kChecked);
        const HTREEITEM scan = OpenZxScan(tree);
        ASSERT_TRUE(scan);
        EXPECT_EQ(tree.CheckIndex(scan), kChecked);
        for (const wchar_t* name : {L"Alpha", L"Beta", L"KEEP.ZIP", L"zeta"}) {
          EXPECT_EQ(tree.CheckIndex(Child(tree, scan, name)), kChecked) << name[0];
        }
        ClickControl(dialog, IDOK);
      },
      outcome);
  EXPECT_EQ(outcome.hr, S_OK);
  EXPECT_EQ(outcome.Text(), LR"({result:{paths:["C:\\"],count:1}})");
}

// "(C:)" -> C:\ with the backslash doubled, as the result writes it.
std::wstring DrivePathOf(const std::wstring& text) {
  const size_t colon = text.find(L':');
  return colon == std::wstring::npos ? text : std::wstring{text[colon - 1], L':', L'\\', L'\\'};
}

TEST_F(ScanPathDialogTest, CheckingTheComputerChecksEveryDriveAndListsThemOneByOne) {
  ScanPathOutcome outcome;
  std::wstring expected;
  Show(
      [&](HWND dialog, const RemoteTreeView& tree) {
        const HTREEITEM computer = ComputerItem(tree);
        EXPECT_EQ(tree.CheckIndex(computer), kUnchecked);
        EXPECT_TRUE(ClickCheckBox(tree, computer));
        std::vector<std::wstring> drives;
        for (HTREEITEM drive = tree.Child(computer); drive; drive = tree.Next(drive)) {
          EXPECT_EQ(tree.CheckIndex(drive), kChecked);
          drives.push_back(L"\"" + DrivePathOf(tree.Text(drive)) + L"\"");
        }
        expected = L"{result:{paths:[";
        for (size_t i = 0; i < drives.size(); ++i) expected += (i ? L"," : L"") + drives[i];
        expected += L"],count:" + std::to_wstring(drives.size()) + L"}}";
        ClickControl(dialog, IDOK);
      },
      outcome);
  EXPECT_EQ(outcome.hr, S_OK);
  EXPECT_EQ(outcome.Text(), expected);
  EXPECT_NE(expected.find(LR"("C:\\")"), std::wstring::npos);
}

TEST_F(ScanPathDialogTest, SpaceBarTogglesTheSelectedItemsBox) {
  ScanPathOutcome outcome;
  Show(
      [](HWND dialog, const RemoteTreeView& tree) {
        const HTREEITEM scan = OpenZxScan(tree);
        ASSERT_TRUE(scan);
        const HTREEITEM alpha = Child(tree, scan, L"Alpha");
        EXPECT_TRUE(PressSpaceOn(tree, alpha));
        EXPECT_EQ(tree.CheckIndex(alpha), kChecked);
        EXPECT_EQ(tree.Caret(), alpha);
        EXPECT_TRUE(PressSpaceOn(tree, alpha));
        EXPECT_EQ(tree.CheckIndex(alpha), kUnchecked);
        EXPECT_EQ(tree.CheckIndex(scan), kUnchecked);
        ClickControl(dialog, IDOK);
      },
      outcome);
  EXPECT_EQ(outcome.hr, S_FALSE);
  EXPECT_EQ(outcome.paths, kUntouched);
}

TEST_F(ScanPathDialogTest, CancelEscapeAndClosingReturnFalseAndLeaveTheResultAlone) {
  const std::vector<std::pair<const char*, void (*)(HWND)>> ways = {
      {"Cancel button", [](HWND dialog) { ClickControl(dialog, IDCANCEL); }},
      {"Esc", [](HWND dialog) { PressKey(TreeOf(dialog), VK_ESCAPE); }},
      {"close", [](HWND dialog) { CloseFromCaption(dialog); }},
  };
  for (const auto& [name, end] : ways) {
    ScanPathOutcome outcome;
    Show(
        [end = end](HWND dialog, const RemoteTreeView& tree) {
          EXPECT_TRUE(ClickCheckBox(tree, DriveItem(tree, L'C')));
          end(dialog);
          EXPECT_TRUE(WaitUntilGone(dialog));
        },
        outcome);
    EXPECT_EQ(outcome.hr, S_FALSE) << name;
    EXPECT_EQ(outcome.paths, kUntouched) << name;
  }
}

TEST_F(ScanPathDialogTest, OkWithNothingCheckedReturnsFalseAfterAnEarlierResultToo) {
  ScanPathOutcome first;
  Show(
      [](HWND dialog, const RemoteTreeView& tree) {
        EXPECT_TRUE(ClickCheckBox(tree, DriveItem(tree, L'C')));
        ClickControl(dialog, IDOK);
      },
      first);
  EXPECT_EQ(first.hr, S_OK);
  ScanPathOutcome second;
  Show(
      [](HWND dialog, const RemoteTreeView& tree) {
        // Every showing starts unchecked.
        EXPECT_EQ(tree.CheckIndex(DriveItem(tree, L'C')), kUnchecked);
        ClickControl(dialog, IDOK);
      },
      second);
  EXPECT_EQ(second.hr, S_FALSE);
  EXPECT_EQ(second.paths, kUntouched);
}

TEST_F(ScanPathDialogTest, DefaultViewListsFoldersOnlyHidesLowerCaseZipAndSortsOrdinally) {
  ScanPathOutcome outcome;
  Show(
      [](HWND dialog, const RemoteTreeView& tree) {
        const HTREEITEM scan = OpenZxScan(tree);
        ASSERT_TRUE(scan);
        EXPECT_EQ(tree.ChildTexts(scan),
                  (std::vector<std::wstring>{L"Alpha", L"Beta", L"KEEP.ZIP", L"zeta"}));
        // Below the computer item the drives come in letter order.
        const HTREEITEM computer = ComputerItem(tree);
        std::vector<std::wstring> drives;
        for (HTREEITEM drive = tree.Child(computer); drive; drive = tree.Next(drive)) {
          drives.push_back(DrivePathOf(tree.Text(drive)));
        }
        EXPECT_TRUE(std::is_sorted(drives.begin(), drives.end()));
        ClickControl(dialog, IDCANCEL);
      },
      outcome);
}

TEST_F(ScanPathDialogTest, AFolderWithoutAcceptedChildrenLosesItsButtonWhenOpened) {
  ScanPathOutcome outcome;
  Show(
      [](HWND dialog, const RemoteTreeView& tree) {
        const HTREEITEM alpha = OpenScanFolder(tree, {L"ZxScan", L"Alpha"});
        ASSERT_TRUE(alpha);
        if (tree.HasExpandButton(alpha)) {
          EXPECT_TRUE(ExpandByClick(tree, alpha));
        }
        EXPECT_FALSE(tree.Child(alpha));
        EXPECT_FALSE(tree.HasExpandButton(alpha));
        const HTREEITEM beta = tree.FindChildNamed(tree.Parent(alpha), L"Beta");
        EXPECT_TRUE(tree.HasExpandButton(beta));
        ClickControl(dialog, IDCANCEL);
      },
      outcome);
}

TEST_F(ScanPathDialogTest, ShownFilesAreListedWithoutButtonsAndStayOnForLaterCalls) {
  const std::vector<std::wstring> everything = {L"Alpha",    L"Arch.zip",  L"Beta",
                                                L"KEEP.ZIP", L"notes.txt", L"zeta"};
  for (const VARIANT_BOOL showFiles : {VARIANT_TRUE, VARIANT_FALSE}) {
    ScanPathCall call;
    call.showFiles = showFiles;
    ScanPathOutcome outcome;
    Show(
        [&](HWND dialog, const RemoteTreeView& tree) {
          const HTREEITEM scan = OpenZxScan(tree);
          ASSERT_TRUE(scan);
          EXPECT_EQ(tree.ChildTexts(scan), everything);
          EXPECT_FALSE(tree.HasExpandButton(tree.FindChildNamed(scan, L"notes.txt")));
          ClickControl(dialog, IDCANCEL);
        },
        outcome, call);
  }
}

TEST_F(ScanPathDialogTest, LaterShowingsGetTheSkinnedButtonsAgain) {
  for (int showing = 1; showing <= 2; ++showing) {
    ScanPathOutcome outcome;
    Show(
        [showing](HWND dialog, const RemoteTreeView&) {
          for (const int id : {IDOK, IDCANCEL}) {
            const HWND button = GetDlgItem(dialog, id);
            EXPECT_EQ(GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW)
                << "showing " << showing << ", button " << id;
            RECT client{};
            GetClientRect(button, &client);
            EXPECT_EQ(client.right, 78) << "showing " << showing;
            EXPECT_EQ(client.bottom, 23) << "showing " << showing;
          }
          ClickControl(dialog, IDCANCEL);
        },
        outcome);
    EXPECT_EQ(outcome.hr, S_FALSE);
  }
}

int ThreadsOfThisProcess() {
  const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  THREADENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  int count = 0;
  for (BOOL more = Thread32First(snapshot.Get(), &entry); more;
       more = Thread32Next(snapshot.Get(), &entry)) {
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  }
  return count;
}

TEST_F(ScanPathDialogTest, TheFillThreadHasEndedWhenTheCallReturns) {
  const auto endNow = [](HWND dialog, const RemoteTreeView&) { ClickControl(dialog, IDCANCEL); };
  ScanPathOutcome warmUp;  // lets the shell start the threads it keeps
  Show(endNow, warmUp);
  for (const int button : {IDOK, IDCANCEL}) {
    const int before = ThreadsOfThisProcess();
    int during = 0;
    ScanPathOutcome outcome;
    RunWithUser(
        [&] {
          outcome.hr =
              m_picker->GetOpenFileNameEx(VARIANT_FALSE, nullptr, nullptr, 0, &outcome.paths);
        },
        [&] {
          const HWND dialog = WaitForScanPathDialog(GetCurrentProcessId());
          ASSERT_TRUE(dialog);
          during = ThreadsOfThisProcess();
          ClickControl(dialog, button);
        });
    EXPECT_EQ(outcome.hr, S_FALSE);
    // The person's thread and the fill, which was still going when the
    // button was pressed; both are gone when the call returns.
    EXPECT_GE(during, before + 2) << "button " << button;
    EXPECT_EQ(ThreadsOfThisProcess(), before) << "button " << button;
  }
}

// A figure, not a check: how long the page waits to see the tree.
TEST_F(ScanPathDialogTest, MeasuresTheTimeFromTheCallToTheFirstItems) {
  double called = 0, firstItems = 0, computerFilled = 0;
  HRESULT hr = E_FAIL;
  BSTR paths = kUntouched;
  RunWithUser(
      [&] {
        called = NowMs();
        hr = m_picker->GetOpenFileNameEx(VARIANT_FALSE, nullptr, nullptr, 0, &paths);
      },
      [&] {
        HWND dialog = nullptr;
        HWND treeWindow = nullptr;
        ASSERT_TRUE(WaitUntil(
            [&] {
              dialog = FindScanPathDialog(GetCurrentProcessId());
              treeWindow = dialog ? TreeOf(dialog) : nullptr;
              return treeWindow && SendMessageW(treeWindow, TVM_GETCOUNT, 0, 0) > 0;
            },
            kDialogPatienceMs));
        firstItems = NowMs();
        const RemoteTreeView tree(treeWindow);
        EXPECT_TRUE(
            WaitUntil([&] { return ComputerItem(tree) && tree.Child(ComputerItem(tree)); }));
        computerFilled = NowMs();
        ClickControl(dialog, IDCANCEL);
      });
  EXPECT_EQ(hr, S_FALSE);
  std::cout << "scan-path dialog: first tree items " << firstItems - called
            << " ms after the call, computer item filled after " << computerFilled - called << " ms"
            << std::endl;
}

}  // namespace
}  // namespace zx::test
