#pragma once
// How much work a reliability test does. The counts written in the tests
// are those of the quick run in CI; ZX_RELIABILITY_SCALE multiplies them for
// a long run (scripts/reliability.sh). Every test prints its figures on
// lines that start with "[ figures  ]", which the long run collects.
#include <string>

namespace zx::test {

// quickCount times ZX_RELIABILITY_SCALE (1 when unset or not a positive number).
int Scaled(int quickCount);

// Prints "[ figures  ] <text>" on standard output.
void ReportFigure(const std::string& text);

}  // namespace zx::test
