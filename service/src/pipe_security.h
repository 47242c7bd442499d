#pragma once
// Who may use the pipe. The default for a service running as LocalSystem
// would give other users read access only, but every client writes its
// request: authenticated users get read and write, without the right to
// create instances of their own (no squatting on the name).
#include <windows.h>

namespace zxservice {

class PipeSecurity {
 public:
  PipeSecurity();
  ~PipeSecurity();
  PipeSecurity(const PipeSecurity&) = delete;
  PipeSecurity& operator=(const PipeSecurity&) = delete;

  // Null (the default security) if the descriptor could not be built.
  SECURITY_ATTRIBUTES* Attributes();

 private:
  PSECURITY_DESCRIPTOR m_descriptor = nullptr;  // LocalAlloc'd
  SECURITY_ATTRIBUTES m_attributes{};
};

}  // namespace zxservice
