// The check-box rules and the locations the result lists, on a sample tree
// built item by item as the shell tree inserts it. Each row acts on the
// tree, then says what every item shows, what the result lists, which
// notices the last action sent and which rule the tree breaks, if any.
#include "pickers/check_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "pickers/check_state_paths.h"
#include "pickers/scan_result.h"
#include "synthetic_check_tree.h"

namespace zx {
namespace {

// Each item has a one-letter key; the tree in insertion order:
const struct {
  char key, parent;  // ' ': top level
  std::u16string_view path;
} kSample[] = {
    {'K', ' ', kComputerFolderPath},
    {'p', 'K', u"@C:\\Users\\Public"},
    {'v', 'K', u"@::{00000000-0000-0000-0000-00000000ABCD}"},  // virtual: no box
    {'c', 'K', u"C:\\"},
    {'a', 'c', u"C:\\A"},
    {'x', 'a', u"C:\\A\\x"},
    {'y', 'a', u"C:\\A\\y"},
    {'b', 'c', u"C:\\B"},
    {'n', 'b', u"\\\\nas"},  // a server root: no box, but walked through
    {'s', 'n', u"\\\\nas\\share"},
    {'z', 'b', u"C:\\B\\z"},
    {'d', 'K', u"D:\\"},
    {'w', 'd', u"::{00000000-0000-0000-0000-00000000ABCD}"},  // a box-less folder
    {'1', 'w', u"D:\\w\\1"},
    {'2', 'w', u"D:\\w\\2"},
    {'S', ' ', u"\\\\srv"},  // a server root
    {'h', 'S', u"\\\\srv\\share"},
};

char Letter(CheckState state) { return "-UPC"[static_cast<int>(state)]; }

class Sample {
 public:
  Sample() {
    for (const auto& item : kSample) Insert(item.key, item.parent, std::u16string(item.path));
    m_tree.TakeNotices();
  }

  // "x" clicks item x, "_x" presses the space bar on it, "!x" makes it
  // refuse writes, "?x" makes its state unreadable, "x=P" writes a state
  // straight in, "+x" inserts a new item '+' below it. False when the
  // action failed.
  bool Do(const std::string& step) {
    m_tree.TakeNotices();
    const TreeItem item = Item(step.size() > 1 && step[1] != '=' ? step[1] : step[0]);
    if (step.size() == 3 && step[1] == '=') {
      return m_tree.WriteState(item, static_cast<CheckState>(std::string("-UPC").find(step[2])));
    }
    switch (step.size() == 1 ? ' ' : step[0]) {
      case '_':
        return ToggleBoxedCheck(m_tree, item);
      case '!':
        m_tree.RefuseWrites(item);
        return true;
      case '?':
        m_tree.FailReads(item);
        return true;
      case '+':
        Insert('+', step[1], m_tree.StoredPath(item) + u"\\new");
        return true;
      default:
        return ToggleCheck(m_tree, item);
    }
  }

  // Every item's state in insertion order; C checked, P partial, U unchecked, - no box.
  std::string States() const {
    std::string states;
    for (const TreeItem item : m_tree.Items()) states += Letter(m_tree.StateOf(item));
    return states;
  }
  std::string Notices() {
    std::string notices;
    for (const auto& notice : m_tree.TakeNotices()) {
      notices +=
          std::string(notices.empty() ? "" : " ") + KeyOf(notice.item) + "=" + Letter(notice.state);
    }
    return notices;
  }
  std::string Paths() const {
    std::string paths;
    for (const std::u16string& path : CollectCheckedPaths(m_tree)) {
      paths += (paths.empty() ? "" : " ") + std::string(path.begin(), path.end());
    }
    return paths;
  }
  std::string Fault() const {
    const std::optional<CheckStateFault> fault = FindCheckStateFault(m_tree);
    return fault ? KeyOf(fault->item) + std::string(": ") + CheckStateRuleName(fault->rule) : "";
  }

 private:
  void Insert(char key, char parent, std::u16string path) {
    m_tree.Insert(parent == ' ' ? nullptr : Item(parent), std::move(path));
    m_keys += key;
  }
  TreeItem Item(char key) const { return m_tree.Items().at(m_keys.find(key)); }
  char KeyOf(TreeItem item) const {
    const std::vector<TreeItem> items = m_tree.Items();
    return m_keys[std::find(items.begin(), items.end(), item) - items.begin()];
  }

  SyntheticCheckTree m_tree;
  std::string m_keys;  // in insertion order
};

struct Scenario {
  const char* steps;  // Sample::Do, one after another
  const char* states;
  const char* paths;              // what the result lists, in order
  const char* notices = nullptr;  // null: not looked at
  bool lastSucceeds = true;
  const char* fault = "";  // the first item in pre-order that breaks a rule
};

// clang-format off
const Scenario kScenarios[] = {
    //               Kpvcaxybnszdw12Sh
    // Boxed items start unchecked, the others without a box.
    {"",            "UU-UUUUU-UUU-UU-U", "", ""},
    // A disagreeing sibling makes every boxed ancestor partial.
    {"x",           "PU-PPCUU-UUU-UU-U", "C:\\A\\x", "a=P c=P K=P x=C"},
    // A click checks a partial item and its subtree, unchecks a checked one.
    {"x a",         "PU-PCCCU-UUU-UU-U", "C:\\A", "y=C c=P K=P a=C"},
    // Agreement lifts a state level by level as far as it reaches.
    {"c x x",       "PU-CCCCC-CCU-UU-U", "C:\\"},
    // A checked computer lists its checked children instead of itself...
    {"K",           "CC-CCCCC-CCC-CC-U", "C:\\Users\\Public C:\\ D:\\"},
    // ...but neither an unreadable nor a partial child.
    {"K ?c",        "CC-CCCCC-CCC-CC-U", "C:\\Users\\Public D:\\", nullptr, true, "c: state readable"},
    {"K c=P",       "CC-PCCCC-CCC-CC-U", "C:\\Users\\Public D:\\", nullptr, true, "K: box follows children"},
    // Nothing below an unreadable item is listed, however it is checked.
    {"c ?c",        "PU-CCCCC-CCU-UU-U", "", nullptr, true, "K: box follows children"},
    // Box-less siblings count by the boxes below them; none ends the search.
    {"p",           "PC-UUUUU-UUU-UU-U", "C:\\Users\\Public"},
    {"z",           "PU-PUUUP-UCU-UU-U", "C:\\B\\z"},
    {"z s",         "PU-PUUUC-CCU-UU-U", "C:\\B", "b=C c=P K=P s=C"},
    // A box-less parent passes the state of its children on.
    {"1",           "PU-UUUUU-UUP-CU-U", "D:\\w\\1"},
    // The space bar toggles boxed items only; a click on a box-less one writes no box.
    {"_v",          "UU-UUUUU-UUU-UU-U", "", "", false},
    {"_h",          "UU-UUUUU-UUU-UU-C", "\\\\srv\\share", "h=C"},
    {"S",           "UU-UUUUU-UUU-UU-U", "", "S=-"},
    // A refused or unreadable state changes nothing; a refused write sends no notice.
    {"!a a",        "UU-UUUUU-UUU-UU-U", "", "", false},
    {"?b b",        "UU-UUUUU-UUU-UU-U", "", "", false, "b: state readable"},
    {"!c b",        "PU-UUUUC-CCU-UU-U", "", "s=C z=C K=P b=C", true, "K: box follows children"},
    // New items start checked below a checked item, past box-less ones, else unchecked.
    {"c +n",        "PU-CCCCC-CCU-UU-UC", "C:\\"},
    {"c x +a",      "PU-PPUCC-CCU-UU-UU", "C:\\A\\y C:\\B"},
    // Each rule is checked.
    {"S=U",         "UU-UUUUU-UUU-UUUU", "", nullptr, true, "S: box follows eligibility"},
    {"x=C",         "UU-UUCUU-UUU-UU-U", "", nullptr, true, "a: box follows children"},
    {"p=P K=P",     "PP-UUUUU-UUU-UU-U", "", nullptr, true, "p: lone box never partial"},
};
// clang-format on

TEST(CheckState, Scenarios) {
  for (const Scenario& scenario : kScenarios) {
    SCOPED_TRACE(scenario.steps);
    Sample sample;
    bool succeeded = true;
    std::istringstream steps(scenario.steps);
    for (std::string step; steps >> step;) succeeded = sample.Do(step);
    EXPECT_EQ(succeeded, scenario.lastSucceeds);
    EXPECT_EQ(sample.States(), scenario.states);
    EXPECT_EQ(sample.Paths(), scenario.paths);
    if (scenario.notices) {
      EXPECT_EQ(sample.Notices(), scenario.notices);
    }
    EXPECT_EQ(sample.Fault(), scenario.fault);
  }
}

TEST(ScanResult, TextListsThePathsWithTheirBackslashesDoubledAndCountsThem) {
  const std::pair<std::vector<std::u16string>, std::u16string_view> cases[] = {
      {{}, u""},
      {{u"E:\\数据 & {more}", u"\\\\srv\\share"},
       uR"({result:{paths:["E:\\数据 & {more}","\\\\srv\\share"],count:2}})"},
      {std::vector<std::u16string>(12, u"x"),
       uR"({result:{paths:["x","x","x","x","x","x","x","x","x","x","x","x"],count:12}})"},
  };
  for (const auto& [paths, text] : cases) EXPECT_EQ(BuildResultText(paths), text);
}

}  // namespace
}  // namespace zx
