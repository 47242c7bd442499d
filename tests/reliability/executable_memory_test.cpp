// No memory that is writable and executable at once: none in the module's
// image, and none that appears in the process while the module works (its
// windows are bound through a window property, not through generated code).
#include <set>

#include "harness/dialog_closer.h"
#include "support/page_test.h"

using namespace zx::test;

namespace {

// Base addresses of the committed regions that are writable and
// executable, between first and last (the whole address space by default).
std::set<const void*> WritableExecutableRegions(
    const BYTE* first = nullptr, const BYTE* last = reinterpret_cast<const BYTE*>(~uintptr_t{0})) {
  std::set<const void*> regions;
  MEMORY_BASIC_INFORMATION region;
  for (const BYTE* at = first;
       at < last && VirtualQuery(at, &region, sizeof region) && region.RegionSize != 0;
       at = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT &&
        (region.Protect & (PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY))) {
      regions.insert(region.BaseAddress);
    }
  }
  return regions;
}

class ExecutableMemoryTest : public PageTest {
 protected:
  const BYTE* base = reinterpret_cast<const BYTE*>(module.Handle());
  const IMAGE_NT_HEADERS* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
};

// The loader marks the image for data execution prevention and relocation.
TEST_F(ExecutableMemoryTest, NoSectionOfTheModuleIsWritableAndExecutable) {
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(headers);
  for (WORD i = 0; i < headers->FileHeader.NumberOfSections; ++i, ++section) {
    EXPECT_FALSE((section->Characteristics & IMAGE_SCN_MEM_WRITE) &&
                 (section->Characteristics & IMAGE_SCN_MEM_EXECUTE))
        << reinterpret_cast<const char*>(section->Name);
  }
  EXPECT_TRUE(headers->OptionalHeader.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_NX_COMPAT);
  EXPECT_TRUE(headers->OptionalHeader.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE);
}

// Every kind of window the module drives: the callback window of an
// asynchronous request and the pickers' dialogs.
TEST_F(ExecutableMemoryTest, WorkingModuleCreatesNoWritableExecutableMemory) {
  const std::set<const void*> before = WritableExecutableRegions();
  ExpectUsable(true);
  ExpectUsable(false);
  {
    DialogCloser closer;
    Microsoft::WRL::ComPtr<IDispatch> scan;
    ASSERT_EQ(module.Create(CLSID_ZevMultiFileDialog, IID_IDispatch, &scan), S_OK);
    using namespace zx::test::variant;
    InvokeByName(scan.Get(), L"GetOpenFileNameEx", DISPATCH_METHOD,
                 {Flag(true), Text(L"caption"), Text(L"subtitle"), Int(0)});
  }
  for (const void* region : WritableExecutableRegions()) {
    EXPECT_TRUE(before.count(region)) << "new writable and executable memory at " << region;
  }
  EXPECT_TRUE(WritableExecutableRegions(base, base + headers->OptionalHeader.SizeOfImage).empty());
}

}  // namespace
