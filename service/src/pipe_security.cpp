#include "pipe_security.h"

#include <sddl.h>

namespace zxservice {
namespace {

// System, administrators and the owner: everything. Authenticated users:
// FILE_GENERIC_READ | FILE_GENERIC_WRITE without FILE_CREATE_PIPE_INSTANCE.
constexpr wchar_t kPipeSddl[] = L"D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;GA;;;OW)(A;;0x12019b;;;AU)";

}  // namespace

PipeSecurity::PipeSecurity() {
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kPipeSddl, SDDL_REVISION_1,
                                                            &m_descriptor, nullptr)) {
    m_descriptor = nullptr;
  }
  m_attributes.nLength = sizeof m_attributes;
  m_attributes.lpSecurityDescriptor = m_descriptor;
}

PipeSecurity::~PipeSecurity() { LocalFree(m_descriptor); }

SECURITY_ATTRIBUTES* PipeSecurity::Attributes() {
  return m_descriptor ? &m_attributes : nullptr;
}

}  // namespace zxservice
