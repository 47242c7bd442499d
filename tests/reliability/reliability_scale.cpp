#include "reliability/reliability_scale.h"

#include <cstdio>
#include <cstdlib>

namespace zx::test {
namespace {

int ScaleFromEnvironment() {
  const char* text = std::getenv("ZX_RELIABILITY_SCALE");
  if (!text) return 1;
  const long scale = std::strtol(text, nullptr, 10);
  return scale > 0 && scale <= 100000 ? static_cast<int>(scale) : 1;
}

}  // namespace

int Scaled(int quickCount) {
  static const int scale = ScaleFromEnvironment();
  return quickCount * scale;
}

void ReportFigure(const std::string& text) {
  std::printf("[ figures  ] %s\n", text.c_str());
  std::fflush(stdout);
}

}  // namespace zx::test
