#pragma once
// What the process holds, measured before and after many iterations of the
// same work: the handle count and the private bytes must stay flat.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace zx::test {

struct ResourceUsage {
  DWORD handles = 0;
  SIZE_T privateBytes = 0;
};

ResourceUsage MeasureUsage();

// What a run may add without having leaked: a handle or two the system
// caches, and heap the allocator keeps for reuse.
inline constexpr DWORD kHandleAllowance = 3;
inline constexpr SIZE_T kPrivateBytesAllowance = 1024 * 1024;

// "handles +1, private bytes +12 KiB"
std::string DescribeGrowth(const ResourceUsage& before, const ResourceUsage& after);

}  // namespace zx::test

// Flat means within the allowances above.
#define EXPECT_USAGE_FLAT(before, after)                                          \
  do {                                                                            \
    EXPECT_LE((after).handles, (before).handles + ::zx::test::kHandleAllowance);  \
    EXPECT_LE((after).privateBytes,                                               \
              (before).privateBytes + ::zx::test::kPrivateBytesAllowance);        \
  } while (false)
