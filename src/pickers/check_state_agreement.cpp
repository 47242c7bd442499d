#include "pickers/check_state_agreement.h"

namespace zx {

std::optional<CheckState> StandingState(const CheckTree& tree, TreeItem item) {
  const std::optional<CheckState> own = tree.ReadState(item);
  if (own == CheckState::NoBox) return ChildrenAgreement(tree, item);
  return own;
}

std::optional<CheckState> ChildrenAgreement(const CheckTree& tree, TreeItem parent) {
  std::optional<CheckState> agreed;
  for (TreeItem child = tree.FirstChild(parent); child; child = tree.NextSibling(child)) {
    const std::optional<CheckState> standing = StandingState(tree, child);
    if (!standing) continue;
    if (agreed && *agreed != *standing) return CheckState::Partial;
    agreed = standing;
  }
  return agreed;
}

}  // namespace zx
