// No memory that is writable and executable at once: none in the module's
// image, and none that appears in the process while the module works (its
// windows are bound through a window property, not through generated code).
#include <windows.h>

#include <gtest/gtest.h>

#include <set>

#include "reliability/dialog_closer.h"
#include "reliability/scripted_request.h"

using namespace zx::test;

namespace {

constexpr DWORD kWritableExecutable = PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;

// Base addresses of the committed regions that are writable and executable,
// between first and last (the whole address space by default).
std::set<const void*> WritableExecutableRegions(
    const BYTE* first = nullptr, const BYTE* last = reinterpret_cast<const BYTE*>(~uintptr_t{0})) {
  std::set<const void*> regions;
  MEMORY_BASIC_INFORMATION region;
  for (const BYTE* at = first;
       at < last && VirtualQuery(at, &region, sizeof region) == sizeof region;
       at = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && (region.Protect & kWritableExecutable)) {
      regions.insert(region.BaseAddress);
    }
    if (region.RegionSize == 0) break;
  }
  return regions;
}

const IMAGE_NT_HEADERS* HeadersOf(HMODULE module) {
  const auto* base = reinterpret_cast<const BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  return reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
}

using ExecutableMemoryTest = ScriptedRequestTest;

TEST_F(ExecutableMemoryTest, NoSectionOfTheModuleIsWritableAndExecutable) {
  const IMAGE_NT_HEADERS* headers = HeadersOf(module.Handle());
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(headers);
  for (WORD i = 0; i < headers->FileHeader.NumberOfSections; ++i, ++section) {
    const DWORD flags = section->Characteristics;
    EXPECT_FALSE((flags & IMAGE_SCN_MEM_WRITE) && (flags & IMAGE_SCN_MEM_EXECUTE))
        << reinterpret_cast<const char*>(section->Name);
  }
  // The loader marks the image for data execution prevention and relocation.
  EXPECT_TRUE(headers->OptionalHeader.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_NX_COMPAT);
  EXPECT_TRUE(headers->OptionalHeader.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE);
}

TEST_F(ExecutableMemoryTest, WorkingModuleCreatesNoWritableExecutableMemory) {
  const std::set<const void*> before = WritableExecutableRegions();
  // Every kind of window the module drives: the callback window of an
  // asynchronous request and the pickers' dialogs.
  ExpectUsable(true);
  ExpectUsable(false);
  {
    DialogCloser closer;
    Microsoft::WRL::ComPtr<IDispatch> scan;
    ASSERT_EQ(module.Create(CLSID_ZevMultiFileDialog, IID_IDispatch, &scan), S_OK);
    CallMethod(scan.Get(), 1, Arguments{Flag(true), Text(L"caption"), Text(L"subtitle"), Int(0)});
  }
  const std::set<const void*> after = WritableExecutableRegions();
  for (const void* region : after) {
    EXPECT_TRUE(before.count(region)) << "new writable and executable memory at " << region;
  }
  const auto* base = reinterpret_cast<const BYTE*>(module.Handle());
  EXPECT_TRUE(
      WritableExecutableRegions(base, base + HeadersOf(module.Handle())->OptionalHeader.SizeOfImage)
          .empty());
}

}  // namespace
