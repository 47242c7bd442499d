#pragma once
// The tree the check-box rules run on. The scan-path dialog implements it over
// its tree-view control; tests implement it in memory. Every rule in
// check_state_*.h goes through this interface only.
#include <cstdint>
#include <optional>
#include <string>

namespace zx {

// An item of the tree (the control's item handle); null stands for none.
using TreeItem = void*;

// The item's state image index: which check box it shows.
enum class CheckState : std::uint8_t {
  kNoBox = 0,
  kUnchecked = 1,
  kPartial = 2,  // some but not all of the boxed items below are checked
  kChecked = 3,
};

// The check state for a state image index; nothing for an index that names
// no check box image.
constexpr std::optional<CheckState> CheckStateFromIndex(unsigned index) {
  if (index > static_cast<unsigned>(CheckState::kChecked)) return std::nullopt;
  return static_cast<CheckState>(index);
}

class CheckTree {
 public:
  virtual ~CheckTree() = default;

  // Null when there is no such item. Top-level items have no parent.
  virtual TreeItem FirstTopLevelItem() const = 0;
  virtual TreeItem FirstChild(TreeItem item) const = 0;
  virtual TreeItem NextSibling(TreeItem item) const = 0;
  virtual TreeItem Parent(TreeItem item) const = 0;

  // The path kept with the item, marker included ("@C:\Users\Public"); empty
  // for an item without data.
  virtual std::u16string StoredPath(TreeItem item) const = 0;

  // Nothing when the state cannot be read or is no check state.
  virtual std::optional<CheckState> ReadState(TreeItem item) const = 0;
  // False when the control refuses the new state.
  virtual bool WriteState(TreeItem item, CheckState state) = 0;
  // Called after every accepted write; the control tells its parent window
  // (WM_USER + 103, wParam the item, lParam the state).
  virtual void StateWritten(TreeItem item, CheckState state) = 0;
};

// Pre-order stepping without recursion, so deep trees cost no stack.
enum class Descend { kInto, kPast };

// The item after `item` in pre-order, staying inside the subtree of `top`
// (null: the whole tree). With Descend::kPast the item's own children are
// passed over. Null when the walk is over.
TreeItem NextInPreorder(const CheckTree& tree, TreeItem item, TreeItem top, Descend descend);

}  // namespace zx
