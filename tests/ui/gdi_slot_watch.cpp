#include "gdi_slot_watch.h"

#include <windows.h>

#include <vector>

namespace zx::test {

GdiSlotWatch::GdiSlotWatch() : m_parked(AllocateAndFreeBatch()) {}

bool GdiSlotWatch::AllSlotsFreeAgain() const { return AllocateAndFreeBatch() == m_parked; }

std::set<unsigned> GdiSlotWatch::AllocateAndFreeBatch() {
  std::vector<HBRUSH> brushes;
  std::set<unsigned> slots;
  for (int i = 0; i < kSlots; ++i) {
    brushes.push_back(CreateSolidBrush(RGB(i, 0, 0)));
    // The low word of a GDI handle is its slot; the high word counts reuse.
    slots.insert(LOWORD(reinterpret_cast<UINT_PTR>(brushes.back())));
  }
  for (HBRUSH brush : brushes) DeleteObject(brush);
  return slots;
}

}  // namespace zx::test
