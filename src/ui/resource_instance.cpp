#include "ui/resource_instance.h"

#include "com/module.h"

namespace zx {

HINSTANCE ResourceInstance() {
  const HINSTANCE module = Module::Instance().Handle();
  return module ? module : GetModuleHandleW(nullptr);
}

}  // namespace zx
