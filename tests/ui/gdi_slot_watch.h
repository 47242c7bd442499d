#pragma once
// Notices GDI objects that a piece of code creates and never deletes.
//
// The GDI handle table hands freed slots out again last-freed first. The
// watch parks a batch of freed slots on top of that list; code that deletes
// everything it creates leaves the same slots free, so allocating the batch
// again gets exactly those slots back. A kept object takes one of them.
#include <set>

namespace zx::test {

class GdiSlotWatch {
 public:
  static constexpr int kSlots = 64;

  GdiSlotWatch();
  // True when every parked slot is free again.
  bool AllSlotsFreeAgain() const;

 private:
  static std::set<unsigned> AllocateAndFreeBatch();

  std::set<unsigned> m_parked;
};

}  // namespace zx::test
